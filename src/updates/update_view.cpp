#include "updates/update_view.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// Release notes come from the network: they are shown as rich text without fetching anything
// they refer to (no remote images, no trackers); links open in the browser.
class OfflineNotes : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

protected:
    // Nothing is fetched; an image shows as nothing rather than as a broken picture.
    QVariant loadResource(int type, const QUrl&) override {
        if (type == QTextDocument::ImageResource) {
            QImage nothing(1, 1, QImage::Format_ARGB32_Premultiplied);
            nothing.fill(Qt::transparent);
            return nothing;
        }
        return {};
    }
};

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

UpdateView::UpdateView(Actions actions, QWidget* parent)
    : QWidget(parent)
    , m_actions(std::move(actions)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 16);
    column->setSpacing(12);
    m_pages = new QStackedWidget(this);

    // Checking, up to date and failure share one page: a message and a detail line.
    auto* status = new QWidget(m_pages);
    auto* statusColumn = new QVBoxLayout(status);
    statusColumn->setContentsMargins(0, 0, 0, 0);
    m_message = wrapped(QString(), status);
    m_message->setObjectName(QStringLiteral("message"));
    QFont bold = m_message->font();
    bold.setBold(true);
    m_message->setFont(bold);
    m_detail = wrapped(QString(), status);
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detail->setForegroundRole(QPalette::PlaceholderText);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress = new QProgressBar(status);
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(8);
    statusColumn->addWidget(m_message);
    statusColumn->addWidget(m_progress);
    statusColumn->addWidget(m_detail);
    statusColumn->addStretch(1);
    m_pages->addWidget(status);

    auto* update = new QWidget(m_pages);
    auto* updateColumn = new QVBoxLayout(update);
    updateColumn->setContentsMargins(0, 0, 0, 0);
    m_headline = wrapped(QString(), update);
    m_headline->setObjectName(QStringLiteral("headline"));
    m_headline->setFont(bold);
    m_notes = new OfflineNotes(update);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setOpenLinks(false);
    connect(m_notes, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        if (url.scheme() == u"https" || url.scheme() == u"http")
            QDesktopServices::openUrl(url);
    });
    updateColumn->addWidget(m_headline);
    updateColumn->addWidget(m_notes, 1);
    m_pages->addWidget(update);
    column->addWidget(m_pages, 1);

    auto* buttons = new QHBoxLayout;
    m_updateButtons = new QWidget(this);
    auto* updateRow = new QHBoxLayout(m_updateButtons);
    updateRow->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& title, const char* name, std::function<void()> action) {
        auto* button = new QPushButton(title, m_updateButtons);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [action] {
            if (action)
                action();
        });
        return button;
    };
    updateRow->addWidget(add(QStringLiteral("이 버전 건너뛰기"), "skip", m_actions.skip));
    updateRow->addStretch(1);
    updateRow->addWidget(add(QStringLiteral("나중에"), "later", m_actions.later));
    QPushButton* install = add(QStringLiteral("업데이트 설치"), "install", m_actions.install);
    install->setDefault(true);
    updateRow->addWidget(install);
    buttons->addWidget(m_updateButtons, 1);
    m_close = new QPushButton(QStringLiteral("닫기"), this);
    m_close->setObjectName(QStringLiteral("close"));
    connect(m_close, &QPushButton::clicked, this, [this] {
        if (m_actions.close)
            m_actions.close();
    });
    m_cancel = new QPushButton(QStringLiteral("취소"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_actions.cancel)
            m_actions.cancel();
    });
    m_restart = new QPushButton(QStringLiteral("다시 시작"), this);
    m_restart->setObjectName(QStringLiteral("restart"));
    m_restart->setDefault(true);
    connect(m_restart, &QPushButton::clicked, this, [this] {
        if (m_actions.restart)
            m_actions.restart();
    });
    buttons->addStretch(0);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    buttons->addWidget(m_restart);
    column->addLayout(buttons);
    showChecking();
}

void UpdateView::setState(State state) {
    m_state = state;
    m_pages->setCurrentIndex(state == State::update ? 1 : 0);
    m_progress->setVisible(state == State::checking || state == State::installing);
    m_updateButtons->setVisible(state == State::update);
    m_close->setVisible(state != State::update && state != State::installing);
    m_close->setText(state == State::installed ? QStringLiteral("나중에") : QStringLiteral("닫기"));
    m_cancel->setVisible(state == State::installing);
    m_restart->setVisible(state == State::installed);
    // A status needs a line or two; release notes need room.
    setFixedSize(state == State::update ? QSize(440, 320) : QSize(400, 150));
}

void UpdateView::showInstalling(qint64 received, qint64 total) {
    m_message->setText(QStringLiteral("새 버전을 내려받는 중..."));
    const double mb = 1024.0 * 1024.0;
    if (total > 0) {
        m_progress->setRange(0, 1000);
        m_progress->setValue(int(1000.0 * double(received) / double(total)));
        m_detail->setText(QStringLiteral("%1 / %2 MB")
                              .arg(double(received) / mb, 0, 'f', 1)
                              .arg(double(total) / mb, 0, 'f', 1));
    } else {
        m_progress->setRange(0, 0);
        m_detail->setText(QStringLiteral("%1 MB").arg(double(received) / mb, 0, 'f', 1));
    }
    setState(State::installing);
}

void UpdateView::showInstalled() {
    m_message->setText(QStringLiteral("새 버전을 설치했어요"));
    m_detail->setText(QStringLiteral("다시 시작하면 새 버전으로 실행됩니다."));
    setState(State::installed);
}

void UpdateView::showChecking() {
    m_progress->setRange(0, 0);
    m_message->setText(QStringLiteral("업데이트를 확인하는 중..."));
    m_detail->clear();
    setState(State::checking);
}

void UpdateView::showUpToDate(const QString& installed) {
    m_message->setText(QStringLiteral("최신 버전을 사용 중입니다"));
    m_detail->setText(QStringLiteral("Purrtick %1").arg(installed));
    setState(State::upToDate);
}

void UpdateView::showFailure(const QString& reason) {
    m_message->setText(QStringLiteral("업데이트를 확인하지 못했어요"));
    m_detail->setText(reason);
    setState(State::failure);
}

void UpdateView::showInstallFailure(const QString& reason) {
    m_message->setText(QStringLiteral("업데이트를 설치하지 못했어요"));
    m_detail->setText(reason);
    setState(State::failure);
}

void UpdateView::showUpdate(const Appcast::Item& item, const QString& installed) {
    m_headline->setText(
        QStringLiteral("Purrtick %1 이 나왔어요 (지금 %2)").arg(item.version, installed));
    if (item.description.isEmpty())
        m_notes->setPlainText(QStringLiteral("릴리스 노트가 없습니다."));
    else
        m_notes->setHtml(item.description);
    setState(State::update);
}

AutomaticChecksQuestion::AutomaticChecksQuestion(std::function<void(bool)> answer, QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 16);
    column->setSpacing(12);
    auto* question = wrapped(QStringLiteral("업데이트를 자동으로 확인할까요?"), this);
    QFont bold = question->font();
    bold.setBold(true);
    question->setFont(bold);
    column->addWidget(question);
    column->addWidget(wrapped(QStringLiteral("하루에 한 번 새 버전이 있는지 조용히 확인하고, "
                                             "새 버전이 있으면 알려 드려요."),
                              this));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* no = new QPushButton(QStringLiteral("확인하지 않음"), this);
    no->setObjectName(QStringLiteral("no"));
    auto* yes = new QPushButton(QStringLiteral("자동으로 확인"), this);
    yes->setObjectName(QStringLiteral("yes"));
    yes->setDefault(true);
    connect(no, &QPushButton::clicked, this, [answer] { answer(false); });
    connect(yes, &QPushButton::clicked, this, [answer] { answer(true); });
    row->addWidget(no);
    row->addWidget(yes);
    column->addLayout(row);
    setFixedWidth(360);
}
