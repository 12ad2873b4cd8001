// The window shown while the program starts: no border, above every other
// window, an hour-glass cursor over it. The start-up creates and destroys it.
#pragma once

#include <QWidget>

class QLabel;

class TSplashForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 450;
    static constexpr int DesignHeight = 254;

    explicit TSplashForm(QWidget* Parent = nullptr);

    // Shows the window centred on the desktop and paints it at once, before the
    // event loop runs.
    void ShowAndPaint();

    // "Development Environment" over the picture, for the developer console.
    void ShowDeveloperTitle();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    // Hidden unless the developer console starts.
    QLabel* FDevTitle;
};
