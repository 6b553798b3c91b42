#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>
#include <memory>

class AboutViewModel;
class QLabel;
class QProgressBar;
class QPushButton;

// The about window's content: the icon, the name and tagline, the installed and the newest
// version, "지금 업데이트" when the feed is newer, and "닫기". Each show starts a check.
class AboutView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 320;

    // Takes the model. Without `onUpdate` the newest version and the update button are not shown.
    // `icon` is the program's icon in every size (the window icon when not given).
    AboutView(std::unique_ptr<AboutViewModel> model, std::function<void()> onUpdate,
              std::function<void()> onClose, const QIcon& icon = QIcon(),
              QWidget* parent = nullptr);
    ~AboutView() override;

    AboutViewModel& model() const { return *m_model; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showState();

    std::unique_ptr<AboutViewModel> m_model;
    std::function<void()> m_onUpdate;
    QLabel* m_latest = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_update = nullptr;
    QLabel* m_upToDate = nullptr;
};
