// The floor the program's figures are read against: a minimal Qt widget of the widget's size,
// frameless and translucent, that wakes once a second and repaints a small text, as the least
// a countdown on the desktop can cost with this toolkit on this machine. With FLOOR_ALIGNED set
// it wakes a millisecond past each whole second of the wall clock instead, as a clock does.
#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>

class Floor : public QWidget {
public:
    Floor() {
        setWindowTitle(QStringLiteral("Floor"));
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_TranslucentBackground);
        resize(180, 190);
        const bool aligned = qEnvironmentVariableIsSet("FLOOR_ALIGNED");
        connect(&m_tick, &QTimer::timeout, this, [this, aligned] {
            update(40, 140, 100, 40);
            if (aligned)
                m_tick.start(untilNextSecond());
        });
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setSingleShot(aligned);
        m_tick.start(aligned ? untilNextSecond() : 1000);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(Qt::white);
        painter.drawText(QRect(40, 140, 100, 40), Qt::AlignCenter,
                         QTime::currentTime().toString(QStringLiteral("mm:ss")));
    }

private:
    static int untilNextSecond() { return int(1001 - QDateTime::currentMSecsSinceEpoch() % 1000); }

    QTimer m_tick;
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Floor floor;
    floor.show();
    return QApplication::exec();
}
