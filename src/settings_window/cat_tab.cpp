#include "settings_window/cat_tab.h"

#include "cats/image_decoding.h"
#include "cats/skin_store.h"
#include "platform/log.h"
#include "platform/symbol_icon.h"
#include "settings/settings.h"
#include "settings_window/bindings.h"
#include "settings_window/destructive_menu_style.h"
#include "settings_window/photo_cell.h"
#include "settings_window/photo_library_model.h"
#include "settings_window/photo_thumbnails.h"
#include "settings_window/selectable_card.h"
#include "settings_window/skin_preview.h"
#include "settings_window/tab_page.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kSkinColumns = 3;
constexpr int kPhotoColumns = 4;
constexpr int kGridSpacing = 10;

// The local files among dropped or pasted addresses.
QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

// Holds the photo grid and takes image files dropped onto it.
class PhotoDropArea : public QWidget {
public:
    PhotoDropArea(std::function<void(const QStringList&)> onDrop, QWidget* parent)
        : QWidget(parent)
        , m_onDrop(std::move(onDrop)) {
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (!localFiles(event->mimeData()).isEmpty())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        const QStringList paths = localFiles(event->mimeData());
        if (paths.isEmpty())
            return;
        event->acceptProposedAction();
        m_onDrop(paths);
    }

private:
    std::function<void(const QStringList&)> m_onDrop;
};

QFont subheadline(const QFont& body) {
    QFont font = body;
    font.setPointSizeF(body.pointSizeF() * 0.92);
    font.setBold(true);
    return font;
}

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString angleText(double degrees) {
    // Halves round away from zero: 359.5 reads 360°.
    return QString::number(std::lround(degrees)) + QStringLiteral("°");
}

} // namespace

CatTab::CatTab(Settings& settings, SkinStore& skins, PhotoLibraryModel& photos, PhotoPicker picker,
               EditorFactory editor, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_skins(skins)
    , m_photos(photos)
    , m_picker(picker ? std::move(picker) : dialogPicker())
    , m_editorFactory(std::move(editor))
    , m_thumbnails(new PhotoThumbnails(this)) {
    auto* column = TabPage::column(this, 10);
    QLabel* skinsTitle = TabPage::title(QStringLiteral("고양이 종류"), this);
    QFont headline = skinsTitle->font();
    headline.setPointSizeF(headline.pointSizeF() * 1.1);
    skinsTitle->setFont(headline);
    column->addWidget(skinsTitle);
    column->addWidget(buildSkinGrid());
    column->addWidget(divider(this));
    column->addWidget(buildRotationControl());
    column->addWidget(divider(this));
    column->addWidget(buildPhotoSection());

    connect(&m_photos, &PhotoLibraryModel::customTickChanged, this, &CatTab::rebuildPhotoGrid);
    connect(m_thumbnails, &PhotoThumbnails::ready, this, [this](const QString& path) {
        for (PhotoCell* cell : std::as_const(m_cells))
            if (cell->path() == path)
                cell->update();
    });
    rebuildPhotoGrid();
}

CatTab::~CatTab() {
    // The editor is a window of its own over the settings window; it goes with the tab.
    delete m_editor.data();
}

CatTab::PhotoPicker CatTab::dialogPicker() {
    return [](QWidget* parent) -> std::optional<QStringList> {
        QFileDialog dialog(
            parent->window(),
            QStringLiteral("보관함에 추가할 고양이 사진을 고르세요 (투명 PNG 권장)"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setNameFilters({QStringLiteral("이미지 (*.png *.jpg *.jpeg *.tif *.tiff *.webp "
                                              "*.gif *.bmp *.heic *.avif *.PNG *.JPG *.JPEG)"),
                               QStringLiteral("PNG (*.png *.PNG)"),
                               QStringLiteral("JPEG (*.jpg *.jpeg *.JPG *.JPEG)"),
                               QStringLiteral("TIFF (*.tif *.tiff)"),
                               QStringLiteral("WebP (*.webp)"), QStringLiteral("모든 파일 (*)")});
        // The folder of the last photos chosen in this run, else the pictures folder.
        static QString lastFolder;
        dialog.setDirectory(lastFolder.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                                : lastFolder);
        // Room for the file names and their columns (Qt's own choice cuts them), or the size
        // the user gave it last time in this run; never larger than the screen.
        static QSize lastSize(760, 520);
        QSize size = lastSize;
        if (const QScreen* screen = parent->screen())
            size = size.boundedTo(screen->availableSize());
        dialog.resize(size);
        const int answer = dialog.exec();
        lastSize = dialog.size();
        if (answer != QDialog::Accepted)
            return std::nullopt;
        lastFolder = dialog.directory().absolutePath();
        return dialog.selectedFiles();
    };
}

QWidget* CatTab::buildSkinGrid() {
    auto* grid = new QWidget(this);
    grid->setObjectName(QStringLiteral("skinGrid"));
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(kGridSpacing);
    layout->setVerticalSpacing(kGridSpacing);
    const QList<CatSkin>& skins = m_skins.catalogue().skins();
    for (qsizetype i = 0; i < skins.size(); ++i) {
        const CatSkin& skin = skins[i];
        auto* card = new SelectableCard(10, grid);
        card->setObjectName(QStringLiteral("skin-") + skin.name);
        card->setAccessibleName(skin.name);
        auto* content = new QWidget;
        auto* stack = new QVBoxLayout(content);
        // The figure's box carries the space above; the name's bottom gets its own.
        stack->setContentsMargins(4, 0, 4, SkinPreview::kPadding);
        stack->setSpacing(4);
        stack->addWidget(
            new SkinPreview(skin, m_skins.catalogue(), m_photos.library(), m_settings, content));
        QLabel* name = new QLabel(skin.name, content);
        name->setFont(TabPage::caption(name->font()));
        name->setAlignment(Qt::AlignCenter);
        stack->addWidget(name);
        card->setContent(content);
        const QString id = skin.id;
        connect(card, &SelectableCard::clicked, this, [this, id] { m_skins.setSelectedID(id); });
        Bind::follow(card, m_skins, &SkinStore::selectedID, &SkinStore::selectedIDChanged,
                     [card, id](const QString& chosen) { card->setSelected(chosen == id); });
        layout->addWidget(card, int(i / kSkinColumns), int(i % kSkinColumns));
    }
    for (int c = 0; c < kSkinColumns; ++c)
        layout->setColumnStretch(c, 1);
    return grid;
}

QWidget* CatTab::buildRotationControl() {
    auto* control = new QWidget(this);
    control->setObjectName(QStringLiteral("catRotationControl"));
    auto* column = TabPage::column(control, 6);

    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("고양이 회전"), control);
    title->setFont(subheadline(title->font()));
    header->addWidget(title);
    header->addStretch(1);
    auto* angle = new QLabel(control);
    angle->setObjectName(QStringLiteral("catRotationValue"));
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(TabPage::caption(angle->font()).pointSizeF());
    angle->setFont(digits);
    angle->setForegroundRole(QPalette::PlaceholderText);
    header->addWidget(angle);
    column->addLayout(header);

    auto* slider = new QSlider(Qt::Horizontal, control);
    slider->setObjectName(QStringLiteral("catRotation"));
    slider->setAccessibleName(QStringLiteral("고양이 회전"));
    slider->setRange(0, 360);
    slider->setSingleStep(1);
    slider->setPageStep(15);
    Bind::follow(slider, m_settings, &Settings::catRotation, &Settings::catRotationChanged,
                 [slider, angle](double degrees) {
                     slider->setValue(int(std::lround(degrees)));
                     angle->setText(angleText(degrees));
                 });
    connect(slider, &QSlider::valueChanged, this,
            [this](int degrees) { m_settings.setCatRotation(degrees); });
    column->addWidget(slider);

    auto* presets = new QHBoxLayout;
    presets->setSpacing(8);
    for (int degrees : {0, 90, 180, 270}) {
        auto* button = new QPushButton(angleText(degrees), control);
        button->setObjectName(QStringLiteral("rotate%1").arg(degrees));
        connect(button, &QPushButton::clicked, this,
                [this, degrees] { m_settings.setCatRotation(degrees); });
        presets->addWidget(button);
    }
    presets->addStretch(1);
    column->addLayout(presets);
    column->addWidget(TabPage::note(
        QStringLiteral("위젯의 고양이 이미지를 원하는 각도로 돌려 고정해요."), control));
    return control;
}

QWidget* CatTab::buildPhotoSection() {
    auto* section = new QWidget(this);
    auto* column = TabPage::column(section, 10);
    auto* title = new QLabel(QStringLiteral("내 고양이 사진"), section);
    title->setFont(subheadline(title->font()));
    column->addWidget(title);
    column->addWidget(TabPage::note(
        QStringLiteral("등록한 사진은 보관함에 쌓여요. 평소 사진과 완료 사진을 골라 쓸 수 있어요."),
        section));

    m_photoArea =
        new PhotoDropArea([this](const QStringList& paths) { addPhotos(paths); }, section);
    m_photoArea->setObjectName(QStringLiteral("photoLibraryGrid"));
    m_photoAreaLayout = TabPage::column(m_photoArea, 0);
    column->addWidget(m_photoArea);

    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("사진 추가…"), section);
    add->setObjectName(QStringLiteral("addPhoto"));
    connect(add, &QPushButton::clicked, this, &CatTab::addPhoto);
    row->addWidget(add);
    row->addStretch(1);
    column->addLayout(row);
    m_notAdded = TabPage::note(QString(), section);
    m_notAdded->setObjectName(QStringLiteral("photosNotAdded"));
    QPalette orange = m_notAdded->palette();
    orange.setColor(QPalette::WindowText, QColor(0xFF, 0x95, 0x00));
    m_notAdded->setPalette(orange);
    m_notAdded->hide();
    column->addWidget(m_notAdded);
    return section;
}

void CatTab::rebuildPhotoGrid() {
    if (m_photoGrid) {
        // The click or menu that led here may still be running inside the old grid.
        m_photoGrid->hide();
        m_photoAreaLayout->removeWidget(m_photoGrid);
        m_photoGrid->deleteLater();
    }
    m_cells.clear();
    m_photoGrid = new QWidget(m_photoArea);
    const QStringList files = m_photos.files();
    if (files.isEmpty()) {
        auto* row = new QHBoxLayout(m_photoGrid);
        row->setContentsMargins(0, 6, 0, 6);
        row->setSpacing(8);
        auto* symbol = new QLabel(m_photoGrid);
        symbol->setObjectName(QStringLiteral("emptyLibrarySymbol"));
        const int side = symbol->fontMetrics().height();
        symbol->setPixmap(QPixmap::fromImage(
            SymbolIcon::render(QStringLiteral("photo.on.rectangle.angled"), QSize(side, side),
                               palette().color(QPalette::PlaceholderText), devicePixelRatioF())));
        row->addWidget(symbol, 0, Qt::AlignTop);
        QLabel* text = TabPage::note(
            QStringLiteral("아직 등록한 사진이 없어요. 아래에서 사진을 추가하세요."), m_photoGrid);
        text->setObjectName(QStringLiteral("emptyLibrary"));
        row->addWidget(text, 1);
    } else {
        auto* grid = new QGridLayout(m_photoGrid);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setVerticalSpacing(kGridSpacing);
        grid->setHorizontalSpacing(kGridSpacing);
        const QDir folder(m_photos.library().libraryFolder());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString& name = files[i];
            auto* cell = new PhotoCell(name, folder.filePath(name), m_photos.isNormal(name),
                                       m_photos.isDone(name), *m_thumbnails, m_photoGrid);
            cell->setObjectName(QStringLiteral("photo-") + name);
            connect(cell, &PhotoCell::clicked, this,
                    [this, name] { m_photos.assign(name, CustomCat::Slot::normal); });
            connect(cell, &PhotoCell::menuRequested, this,
                    [this, cell](QPoint at) { showPhotoMenu(cell, at); });
            grid->addWidget(cell, int(i / kPhotoColumns), int(i % kPhotoColumns), Qt::AlignCenter);
            m_cells.append(cell);
        }
        for (int c = 0; c < kPhotoColumns; ++c)
            grid->setColumnStretch(c, 1);
    }
    m_photoAreaLayout->addWidget(m_photoGrid);
    m_gridIsCurrent = !isVisible();
}

void CatTab::showPhotoMenu(PhotoCell* cell, QPoint at) {
    const QString name = cell->fileName();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("photoMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("평소 사진으로"), this,
                    [this, name] { m_photos.assign(name, CustomCat::Slot::normal); });
    if (cell->isDone())
        menu->addAction(QStringLiteral("완료 사진 해제"), this, [this] { m_photos.clearDone(); });
    else
        menu->addAction(QStringLiteral("완료 사진으로"), this,
                        [this, name] { m_photos.assign(name, CustomCat::Slot::done); });
    menu->addSeparator();
    QAction* edit =
        menu->addAction(QStringLiteral("편집…"), this, [this, name] { this->edit(name); });
    edit->setEnabled(bool(m_editorFactory));
    QAction* remove = menu->addAction(QStringLiteral("보관함에서 삭제"), this,
                                      [this, name] { m_photos.removePhoto(name); });
    DestructiveMenuStyle::mark(menu, remove);
    menu->popup(at);
}

void CatTab::edit(const QString& file) {
    if (m_editor) {
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    if (!m_editorFactory)
        return;
    // The editor works on the photo at full size; the library keeps only display-sized copies.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const std::optional<QImage> photo = ImageDecoding::decodeFile(
        QDir(m_photos.library().libraryFolder()).filePath(file), {}, &error);
    QApplication::restoreOverrideCursor();
    if (!photo) {
        qCWarning(lcPurrtick, "편집할 사진을 읽지 못했습니다: %s: %s", qPrintable(file),
                  qPrintable(error));
        return;
    }
    QPointer<CatTab> self(this);
    auto close = [self] {
        if (self && self->m_editor)
            self->m_editor->deleteLater();
    };
    m_editor = m_editorFactory(
        *photo, close,
        [self, file, close](const QByteArray& png) {
            if (self)
                self->m_photos.saveEdited(png, file);
            close();
        },
        window());
    if (!m_editor)
        return;
    m_editor->setObjectName(QStringLiteral("imageEditor"));
    m_editor->setWindowModality(Qt::WindowModal);
    m_editor->show();
}

void CatTab::addPhoto() {
    const std::optional<QStringList> chosen = m_picker(this);
    if (!chosen)
        return;
    addPhotos(*chosen);
}

void CatTab::addPhotos(const QStringList& paths) {
    const PhotoLibraryModel::Added added = m_photos.addPhotos(paths);
    // Said once per try: the next try says its own outcome.
    m_notAdded->setText(
        QStringLiteral(
            "⚠︎ 사진 %1장을 보관함에 넣지 못했어요. 사진 파일인지, "
            "디스크에 빈 "
            "공간이 있는지 확인해 주세요.")
            .arg(added.failed));
    m_notAdded->setVisible(added.failed > 0);
}

void CatTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Files may have come and gone since the grid was built (the cut-out command adds photos
    // too); a grid built for this showing is current.
    if (m_gridIsCurrent)
        m_gridIsCurrent = false;
    else
        rebuildPhotoGrid();
}
