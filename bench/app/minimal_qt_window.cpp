// The reference for start-up measurements: the smallest Qt Widgets program that paints a window, then
// exits after its first paint, as tradingday-host --exit-after-first-paint does.
#include <QApplication>
#include <QTimer>
#include <QWidget>

class CFirstPaintWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!painted) {
            painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool painted = false;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CFirstPaintWindow window;
    window.resize(1200, 940);
    window.show();
    return app.exec();
}
