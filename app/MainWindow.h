#pragma once

#include "StartupHelpers.h"
#include "WindowPointer.h"

#include <QWidget>

class Dialogs;
struct ConversionResult;
class ImageListModel;
class ImageListView;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// What the main window needs from the outside world, handed in so that tests
// can pass their own.
struct MainWindowServices {
    Dialogs *dialogs = nullptr;
    QString programFolder;        // native separators, no trailing separator
    HomePageDraw homePage;
};

// The main window: the image list, the delay, the three action buttons and the
// progress bar. Each control's object name says what it is (tests find
// controls by it).
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Runs once, after construction and before the window is first shown.
    void load();

    WindowPointer &windowPointer() { return m_pointer; }
    // How often long work inside a handler lets the window answer, in ms.
    void setEventInterval(qint64 milliseconds) { m_eventInterval = milliseconds; }
    ImageListModel &imageList() { return *m_imageList; }

signals:
    // The window was closed: the program ends at once, whatever is running.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A file beside the program: the converter and the pointer files.
    QString programFile(const QString &name) const;
    void createControls();
    void setTabOrder();
    void watchPointerMoves();

    void hoverSurface();
    void addFiles();
    void convertList();
    void tellResult(const ConversionResult &result, const QStringList &pictures, const QString &output);
    void addFolder();
    void saveDelay();
    void checkDelayOnLeaving();

    MainWindowServices m_services;
    WindowPointer m_pointer;
    ImageListModel *m_imageList = nullptr;
    bool m_warningShown = false;
    bool m_delayCheckPending = false;
    bool m_centredInFrame = false;
    qint64 m_eventInterval = 30;

    ImageListView *m_imageListView = nullptr;
    QLabel *m_delayLabel = nullptr;
    QLineEdit *m_delayEdit = nullptr;
    QToolButton *m_addFilesButton = nullptr;
    QToolButton *m_addFolderButton = nullptr;
    QToolButton *m_convertButton = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_focusHolder = nullptr;
};
