#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class ModelDownload;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

// The line under the editor's buttons that offers the learned background-removal model while
// it is missing: one press downloads it, with progress and a way to cancel; a failure says why
// in one line and changes nothing. Nothing is fetched without that press.
class ModelOffer : public QWidget {
    Q_OBJECT

public:
    using DownloadFactory = std::function<std::unique_ptr<ModelDownload>()>;

    // The upstream model into the user's data folder, over a network access of its own.
    static DownloadFactory upstreamDownload();

    explicit ModelOffer(DownloadFactory makeDownload, QWidget* parent = nullptr);
    ~ModelOffer() override;

    bool isDownloading() const;
    // The model file is there but cannot be used: says so and offers to fetch it again.
    void showUnusable();

signals:
    // The model is in place; the offer has hidden itself.
    void modelReady();

private:
    void startDownload();
    void showFailure(const QString& error);
    void showLine(const QString& line);

    DownloadFactory m_makeDownload;
    std::unique_ptr<ModelDownload> m_download;
    QStackedWidget* m_pages;
    QHBoxLayout* m_offerRow = nullptr;
    QPushButton* m_offer;
    QLabel* m_failure;
    QProgressBar* m_progress;
};
