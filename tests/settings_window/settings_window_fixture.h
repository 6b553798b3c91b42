#pragma once

#include "app/secondary_window.h"
#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "fake_clock.h"
#include "platform/login_item.h"
#include "platform/xdg_autostart.h"
#include "recording_sound.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "settings_window/settings_view.h"
#include "temp_store.h"
#include "timing/timer_engine.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <deque>
#include <memory>

// A registration kept in memory. `failSet` makes every change fail, as a desktop refusing it
// would; `failTurningOn` only switching it on.
class FakeAutostart final : public Autostart {
public:
    bool isEnabled() const override { return enabled; }
    std::optional<QString> set(bool wanted) override {
        ++calls;
        if (failSet || (wanted && failTurningOn))
            return QStringLiteral("디스크가 가득 찼습니다");
        enabled = wanted;
        return std::nullopt;
    }
    bool enabled = false;
    bool failSet = false;
    bool failTurningOn = false;
    int calls = 0;
};

// The settings window over a temporary store, a clock that stands still and a login
// registration in memory, shown as the program shows it. Controls are found by their object
// names and used through the window, as the pointer and the keyboard reach them.
class SettingsWindowFixture {
public:
    explicit SettingsWindowFixture(bool installedCopy = true,
                                   CatTab::EditorFactory editorFactory = {})
        : settings(temp.open())
        , layout(settings)
        , engine(settings, clock, sound)
        , loginItem(autostart, installedCopy) {
        SettingsView::Pickers pickers;
        pickers.colour = [this](const QColor& current, QWidget*) -> std::optional<QColor> {
            askedColours.push_back(current);
            if (pickedColours.empty())
                return std::nullopt;
            const QColor next = pickedColours.front();
            pickedColours.pop_front();
            return next;
        };
        pickers.photos = [this](QWidget* parent) -> std::optional<QStringList> {
            ++photoQuestions;
            photoPickerParent = parent;
            return pickedPhotos;
        };
        pickers.editor = editorFactory;
        auto* view = new SettingsView(
            {settings, layout, engine, loginItem, clock, skins, photos},
            [this] { window->close(); }, pickers);
        window = std::make_unique<SecondaryWindow>(QStringLiteral("Purrtick"), view);
    }

    SettingsView* view() const { return static_cast<SettingsView*>(window->content()); }

    void open() {
        window->open();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void showTab(int index) {
        view()->tabs()->setCurrentIndex(index);
        // A page built on first show is laid out in the turns of the event loop that follow.
        for (int turn = 0; turn < 3; ++turn)
            QApplication::processEvents();
    }

    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (!found)
            qWarning("no control named %s", qPrintable(name));
        return found;
    }

    // A left click where the control is drawn (a check box's on its box), delivered to the
    // window.
    void click(QWidget* control) {
        QVERIFY(control);
        QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
        // Scrolled into view first, as the user would.
        for (QScrollArea* scroll : window->findChildren<QScrollArea*>())
            if (scroll->isAncestorOf(control))
                scroll->ensureWidgetVisible(control);
        QApplication::processEvents();
        QPoint inside = control->rect().center();
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QStyleOptionButton option;
            option.initFrom(box);
            inside =
                box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
        }
        const QPoint at = control->mapTo(window.get(), inside);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    void click(const QString& name) { click(find(name)); }

    // Keys typed into the window, reaching whatever has the focus.
    void type(const QString& text) {
        for (const QChar c : text)
            QTest::keyClick(window->windowHandle(), c.toLatin1());
    }
    void press(Qt::Key key) {
        QTest::keyClick(window->windowHandle(), key);
        QApplication::processEvents();
    }

    // Clicks into a text field, selects what it holds, types over it and leaves it with Tab.
    void enter(const QString& name, const QString& text) {
        auto* field = find<QLineEdit>(name);
        click(field);
        field->selectAll();
        type(text);
        press(Qt::Key_Tab);
    }

    // Opens a pop-up menu with the pointer and chooses the entry with this text.
    void choose(const QString& name, const QString& entry) {
        auto* combo = find<QComboBox>(name);
        click(combo);
        const int index = combo->findText(entry);
        QVERIFY2(index >= 0, qPrintable(entry));
        // The open list is a window of its own; the entry is clicked where it is drawn there.
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QAbstractItemView* list = combo->view();
        const QModelIndex item = combo->model()->index(index, 0);
        list->scrollTo(item);
        const QPoint at = list->viewport()->mapTo(popup, list->visualRect(item).center());
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }

    // The value the INI file holds, read by a fresh QSettings.
    QVariant stored(const QString& key) { return temp.readBack()->value(key); }

    TempStore temp;
    Settings settings;
    LayoutStore layout;
    FakeClock clock{QDateTime(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC)};
    RecordingSound sound;
    TimerEngine engine;
    FakeAutostart autostart;
    LoginItem loginItem;
    BundledCat catalogue{BundledCat::findBundle()};
    SkinStore skins{settings, catalogue};
    QTemporaryDir dataDir;
    CustomCat photos{dataDir.path(), settings};
    // What the photo question answers: files, or nothing for a cancelled question.
    std::optional<QStringList> pickedPhotos;
    int photoQuestions = 0;
    QWidget* photoPickerParent = nullptr;
    std::deque<QColor> pickedColours;
    std::vector<QColor> askedColours;
    std::unique_ptr<SecondaryWindow> window;
};
