#pragma once

#include "app/Main.h"
#include "ui/WindowPointer.h"

#include <QWidget>

class Dialogs;
class ImageListModel;
class ImageListView;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// What the main window needs from the outside world, handed in so that tests
// can pass their own.
struct Form1Services {
    Dialogs *dialogs = nullptr;
    QString programFolder;        // native separators, no trailing separator
    HomePageDraw homePage;
};

// The main window. Controls keep their designed names (also as object names);
// each control event has one handler named <Control>_<Event>.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget *parent = nullptr);
    ~Form1() override;

    // Runs once, after construction and before the window is first shown.
    void Form_Load();

    WindowPointer &windowPointer() { return m_pointer; }
    // How often long work inside a handler lets the window answer, in ms.
    void setEventInterval(qint64 milliseconds) { m_eventInterval = milliseconds; }
    ImageListModel &imageList() { return *m_imageList; }

signals:
    // The window was closed: the program ends at once, whatever is running.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void setTabOrder();
    void watchPointerMoves();

    void Form_Unload();
    void Form_MouseMove();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Text1_Change();
    void Text1_LostFocus();

    Form1Services m_services;
    WindowPointer m_pointer;
    ImageListModel *m_imageList = nullptr;
    bool m_warningShown = false;
    bool m_centredInFrame = false;
    qint64 m_eventInterval = 30;

    ImageListView *ListView1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QToolButton *Check1 = nullptr;
    QToolButton *Check3 = nullptr;
    QToolButton *Check2 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Command1 = nullptr;
};
