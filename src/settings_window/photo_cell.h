#pragma once

#include <QAbstractButton>
#include <QImage>

class PhotoThumbnails;

// One photo of the library in the photo grid: its thumbnail fitted into a 64-point rounded
// square, outlined in the accent colour when it is the normal picture, with the "평소"/"완료"
// badges at its lower left and a menu button at its upper right. A click on the square runs
// `clicked`; the menu button runs `menuRequested` with the point to open the menu at.
class PhotoCell : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kSide = 64;
    static constexpr qreal kCornerRadius = 8;

    PhotoCell(const QString& fileName, const QString& path, bool isNormal, bool isDone,
              PhotoThumbnails& thumbnails, QWidget* parent = nullptr);

    QString fileName() const { return m_fileName; }
    QString path() const { return m_path; }
    bool isNormal() const { return m_isNormal; }
    bool isDone() const { return m_isDone; }
    QAbstractButton* menuButton() const { return m_menuButton; }

    QSize sizeHint() const override { return {kSide, kSide}; }

signals:
    void menuRequested(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A right click opens the same menu as the menu button.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void paintBadges(QPainter& painter);

    QString m_fileName;
    QString m_path;
    bool m_isNormal;
    bool m_isDone;
    PhotoThumbnails& m_thumbnails;
    // Kept once it has arrived, so later paints ask nothing of the file system.
    QImage m_thumbnail;
    qreal m_thumbnailRatio = 0;
    QAbstractButton* m_menuButton;
};
