#include "about/about_view.h"

#include "about/about_view_model.h"
#include "platform/close_row.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qreal kCaptionScale = 0.85;

QLabel* secondary(const QString& text, QWidget* parent, qreal scale = 1.0) {
    auto* label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    if (scale != 1.0) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * scale);
        label->setFont(font);
    }
    return label;
}

// The rounded box behind the version rows, in the colour of a control's background.
class InformationBox : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
    }
};

QHBoxLayout* versionRow(const QString& label, QWidget* value, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(secondary(label, parent));
    row->addStretch(1);
    row->addWidget(value);
    return row;
}

} // namespace

AboutView::AboutView(std::unique_ptr<AboutViewModel> model, std::function<void()> onUpdate,
                     std::function<void()> onClose, const QIcon& appIcon, QWidget* parent)
    : QWidget(parent)
    , m_model(std::move(model))
    , m_onUpdate(std::move(onUpdate)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setFixedSize(96, 96);
    icon->setPixmap((appIcon.isNull() ? QApplication::windowIcon() : appIcon)
                        .pixmap(QSize(96, 96), devicePixelRatioF()));
    column->addWidget(icon, 0, Qt::AlignHCenter);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto* name = new QLabel(QStringLiteral("Purrtick"), this);
    QFont titleFont = name->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setWeight(QFont::DemiBold);
    name->setFont(titleFont);
    titles->addWidget(name, 0, Qt::AlignHCenter);
    titles->addWidget(
        secondary(QStringLiteral("리눅스 화면 위의 고양이 타이머"), this, kCaptionScale), 0,
        Qt::AlignHCenter);
    column->addLayout(titles);

    auto* box = new InformationBox(this);
    box->setObjectName(QStringLiteral("informationBox"));
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(12, 10, 12, 10);
    rows->setSpacing(8);
    auto* current = new QLabel(m_model->currentVersion(), box);
    current->setObjectName(QStringLiteral("currentVersion"));
    current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rows->addLayout(versionRow(QStringLiteral("현재 버전"), current, box));
    if (m_onUpdate) {
        auto* divider = new QFrame(box);
        divider->setFrameShape(QFrame::HLine);
        divider->setFrameShadow(QFrame::Plain);
        divider->setForegroundRole(QPalette::Mid);
        rows->addWidget(divider);
        auto* status = new QWidget(box);
        auto* statusLayout = new QHBoxLayout(status);
        statusLayout->setContentsMargins(0, 0, 0, 0);
        m_progress = new QProgressBar(status);
        m_progress->setObjectName(QStringLiteral("checking"));
        m_progress->setRange(0, 0);
        m_progress->setTextVisible(false);
        m_progress->setFixedSize(48, 8);
        m_progress->setAccessibleName(QStringLiteral("확인 중"));
        m_latest = new QLabel(status);
        m_latest->setObjectName(QStringLiteral("latestVersion"));
        statusLayout->addWidget(m_progress);
        statusLayout->addWidget(m_latest);
        rows->addLayout(versionRow(QStringLiteral("최신 버전"), status, box));
    }
    column->addWidget(box);

    if (m_onUpdate) {
        m_update = new QPushButton(QStringLiteral("지금 업데이트"), this);
        m_update->setObjectName(QStringLiteral("updateNow"));
        m_update->setDefault(true);
        m_update->setMinimumHeight(m_update->sizeHint().height() + 8);
        connect(m_update, &QPushButton::clicked, this, [this] {
            if (m_onUpdate)
                m_onUpdate();
        });
        column->addWidget(m_update);
        m_upToDate = secondary(QStringLiteral("최신 버전을 사용 중입니다"), this, kCaptionScale);
        m_upToDate->setObjectName(QStringLiteral("upToDate"));
        column->addWidget(m_upToDate, 0, Qt::AlignHCenter);
    }

    column->addLayout(closeRow(this, std::move(onClose)));

    setFixedWidth(kWidth);
    connect(m_model.get(), &AboutViewModel::changed, this, &AboutView::showState);
    showState();
}

AboutView::~AboutView() = default;

void AboutView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model->refresh();
}

void AboutView::showState() {
    if (!m_onUpdate)
        return;
    const AboutViewModel& model = *m_model;
    m_progress->setVisible(model.loading());
    m_latest->setVisible(!model.loading());
    QPalette palette = m_latest->palette();
    palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
    m_latest->setToolTip(QString());
    QFont font = this->font();
    if (model.updatesByPackageManager()) {
        // A sentence where a version would stand: the secondary style, a caption's size.
        m_latest->setText(QStringLiteral("패키지 관리자가 업데이트를 관리합니다"));
        palette.setColor(QPalette::WindowText, this->palette().color(QPalette::PlaceholderText));
        font.setPointSizeF(font.pointSizeF() * 0.85);
    } else if (model.latestVersion()) {
        m_latest->setText(*model.latestVersion());
    } else if (model.errorMessage()) {
        m_latest->setText(QStringLiteral("확인 실패"));
        m_latest->setToolTip(*model.errorMessage());
        palette.setColor(QPalette::WindowText, QColor(0xFF, 0x3B, 0x30));
    } else {
        m_latest->setText(QStringLiteral("—"));
        palette.setColor(QPalette::WindowText, this->palette().color(QPalette::PlaceholderText));
    }
    m_latest->setPalette(palette);
    m_latest->setFont(font);
    m_update->setVisible(model.hasUpdate());
    m_upToDate->setVisible(!model.hasUpdate() && !model.loading() && model.latestVersion());
    adjustSize();
}
