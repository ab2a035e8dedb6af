#include "MainWindow.h"

#include "Dialogs.h"
#include "ConversionRun.h"
#include "ConverterCommand.h"
#include "DelayEntry.h"
#include "SettingsStore.h"
#include "FolderWalk.h"
#include "ImageListModel.h"
#include "ImageListView.h"
#include "ActionButton.h"
#include "CursorFile.h"
#include "Twips.h"
#include "UnseenButton.h"
#include "WindowIcons.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace {

// Client area 6630 x 4395 twips.
constexpr int kClientWidth = 6630;
constexpr int kClientHeight = 4395;
constexpr int kListColumnWidth = 350;

QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

template <typename Control>
Control *place(Control *control, const char *name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

void paintWhite(QWidget *widget, QPalette::ColorRole role)
{
    QPalette palette = widget->palette();
    palette.setColor(role, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)), m_pointer(this)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(kApplicationTitle);
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    paintWhite(this, QPalette::Window);

    // The title bar shows no picture: a fully transparent 32 x 32 icon.
    QPixmap transparent(32, 32);
    transparent.fill(Qt::transparent);
    setWindowIcon(QIcon(transparent));

    createControls();
    setTabOrder();
    watchPointerMoves();
    m_pointer.coverWhenBusy(m_delayEdit, [this] { m_delayEdit->setCursor(Qt::IBeamCursor); });
    m_pointer.coverWhenBusy(m_imageListView->viewport(), [this] { m_imageListView->restoreOwnPointer(); });

    // An unseen button holds the focus at start, so no visible control shows
    // it and Enter or Space does nothing.
    m_focusHolder->setFocus();
}

MainWindow::~MainWindow() = default;

QString MainWindow::programFile(const QString &name) const
{
    return m_services.programFolder + QDir::separator() + name;
}

void MainWindow::createControls()
{
    m_imageList = new ImageListModel(this);
    m_imageListView = place(new ImageListView(m_imageList, &m_pointer, programFile(QStringLiteral("drag.ico")), this), "imageList",
                      twipsRect(120, 120, 6375, 1815));
    m_imageListView->setFont(arialBold(9));
    m_imageListView->setToolTip(tr("Drag and drop files here. Double-click item to remove it. "
                             "Move bar to right and out of window to reveal full names."));
    m_imageListView->setAccessibleName(tr("Pictures in slide show order"));
    m_imageListView->setAccessibleDescription(m_imageListView->toolTip());

    m_delayLabel = place(new QLabel(tr("Delay between images (in seconds):"), this), "delayLabel",
                   twipsRect(180, 2070, 3300, 225));
    m_delayLabel->setFont(arialBold(9));
    paintWhite(m_delayLabel, QPalette::Window);

    m_delayEdit = place(new QLineEdit(this), "delayEdit", twipsRect(3600, 2025, 870, 330));
    m_delayEdit->setFont(arialBold(9));
    connect(m_delayEdit, &QLineEdit::textChanged, this, &MainWindow::saveDelay);
    m_delayEdit->installEventFilter(this);
    m_delayEdit->setAccessibleName(m_delayLabel->text());
    m_delayEdit->setAccessibleDescription(tr("How long each picture is shown, such as 2 or 1.5"));

    m_addFilesButton = place(new ActionButton(tr("Add JPG File(s)"), WindowIcons::addFiles(), this),
                   "addFilesButton", twipsRect(120, 2445, 2055, 1335));
    m_addFolderButton = place(new ActionButton(tr("Add All Files(s) In Folder"), WindowIcons::addFolder(), this),
                   "addFolderButton", twipsRect(2280, 2445, 2055, 1335));
    m_convertButton = place(new ActionButton(tr("Convert"), WindowIcons::convert(), this),
                   "convertButton", twipsRect(4440, 2445, 2055, 1335));
    for (QToolButton *button : {m_addFilesButton, m_addFolderButton, m_convertButton}) {
        button->setFont(arialBold(11.25));
        button->setAccessibleName(button->text());
    }
    m_addFilesButton->setAccessibleDescription(tr("Adds pictures chosen in a file dialog to the end of the list"));
    m_addFolderButton->setAccessibleDescription(
        tr("Adds every file with a chosen extension in a folder and the folders below it"));
    m_convertButton->setAccessibleDescription(tr("Makes one slide show of the listed pictures, in list order"));
    connect(m_addFilesButton, &QToolButton::clicked, this, &MainWindow::addFiles);
    connect(m_addFolderButton, &QToolButton::clicked, this, &MainWindow::addFolder);
    connect(m_convertButton, &QToolButton::clicked, this, &MainWindow::convertList);

    m_progressBar = place(new QProgressBar(this), "progressBar", twipsRect(120, 3900, 6375, 375));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setAccessibleName(tr("Conversion progress"));

    // Lies wholly left of the client area: never seen, no action, passed over
    // by screen readers.
    m_focusHolder = place(new UnseenButton(tr("Command1"), this), "focusHolder", twipsRect(-720, 2640, 615, 495));
    m_focusHolder->setAutoDefault(false);

    m_delayLabel->setFocusPolicy(Qt::NoFocus);
    m_progressBar->setFocusPolicy(Qt::NoFocus);
}

void MainWindow::setTabOrder()
{
    const QList<QWidget *> order{m_focusHolder, m_addFilesButton, m_convertButton, m_imageListView, m_addFolderButton, m_delayEdit};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::watchPointerMoves()
{
    setMouseTracking(true);
    for (QWidget *control : QList<QWidget *>{m_addFilesButton, m_convertButton, m_addFolderButton, m_delayLabel, m_progressBar}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }
    m_delayEdit->setMouseTracking(true);
}

void MainWindow::load()
{
    centreWindow(this);
    setWindowTitle(kApplicationTitle);

    const QString handPath = programFile(QStringLiteral("HAND-M.CUR"));
    if (fileExists(handPath))
        m_pointer.setCustomCursor(loadCursor(handPath));

    if (m_services.homePage.random && m_services.homePage.open)
        drawHomePage(m_services.homePage);

    m_imageListView->header()->resizeSection(0, twipsToPixels(kListColumnWidth));

    // Setting the text raises the change handler, which writes it straight back:
    // after the first start the store holds the delay.
    m_delayEdit->setText(readSetting(kSettingsApp, kSettingsSection, kDelayKey, kDefaultDelay));

    paintWhite(m_progressBar, QPalette::Base);
    paintWhite(m_progressBar, QPalette::Window);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    // A window manager adds its frame only once the window is shown; the first
    // move that reveals it centres the window again on its outer size.
    if (!m_centredInFrame && frameGeometry().size() != size()) {
        m_centredInFrame = true;
        centreWindow(this);
    }
    QWidget::moveEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    // Moves that a control ignored travel up to the window; only those over the
    // bare surface are the window's own.
    if (!childAt(event->position().toPoint()))
        hoverSurface();
    QWidget::mouseMoveEvent(event);
}

void MainWindow::hoverSurface()
{
    m_pointer.hover(WindowPointer::Shape::Default);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == m_addFilesButton || watched == m_convertButton || watched == m_addFolderButton)
            m_pointer.hover(WindowPointer::Shape::Custom);
        else if (watched == m_delayLabel || watched == m_delayEdit || watched == m_progressBar)
            m_pointer.hover(WindowPointer::Shape::Default);
    } else if (watched == m_delayEdit && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove
                                    || event->type() == QEvent::Drop)) {
        // Files dropped from the file manager belong in the list, never in the
        // delay: the box refuses them as the buttons do, and keeps plain text.
        if (static_cast<QDropEvent *>(event)->mimeData()->hasUrls()) {
            event->ignore();
            return true;
        }
    } else if (watched == m_delayEdit && event->type() == QEvent::FocusOut) {
        // Only a move to another control of this window counts: switching to
        // another application, or our own message box taking the focus, does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // After the focus change has finished: a modal box inside it would
            // swallow the release of the press that moved the focus.
            m_delayCheckPending = true;
            QMetaObject::invokeMethod(this, &MainWindow::checkDelayOnLeaving, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::addFiles()
{
    // Camera files are often named in capitals: the patterns say so, for
    // desktop dialogs that match letter case exactly.
    const QStringList chosen = m_services.dialogs->getOpenFileNames(
        this, tr("Add File(s) - Hold Ctrl or Shift to select multiple files"),
        QStringLiteral("All JPEG (*.jpeg;*.jpg) (*.jpeg *.jpg *.JPEG *.JPG)"));
    m_imageList->append(chosen);
}

void MainWindow::convertList()
{
    // A click here straight from a box holding no number: the check on leaving
    // the box, still to come, says so; one warning at a time.
    const QString delay = m_delayEdit->text();
    if (m_delayCheckPending && !isNumericEntry(delay))
        return;
    if (m_imageList->count() <= 0) {
        m_services.dialogs->message(this, tr("No files added."), Dialogs::MessageIcon::None);
        return;
    }
    // Checked before the save dialog, in the window's own words: the converter
    // would refuse it with a command-line hint, after the user named the file.
    if (!isUsableDelay(delay)) {
        m_services.dialogs->message(this, unusableDelayMessage(), Dialogs::MessageIcon::Warning);
        return;
    }
    const QString output = m_services.dialogs->getSaveFileName(
        this, tr("Save Slide Show As (SWF file)"),
        {{QStringLiteral("Shockwave Flash files (*.swf)"), QStringLiteral("swf")},
         {QStringLiteral("Web page (*.html)"), QStringLiteral("html")}});
    if (output.isEmpty())
        return;

    ConversionResult result;
    // The list is read after the dialog: it may have changed while it was open.
    const QStringList pictures = m_imageList->paths();
    {
        const WindowPointer::BusyScope busy(m_pointer);
        const Command converter = buildConverterCommand(
            programFile(converterFileName()), delay, pictures, output,
            [this](int index, int count) { m_progressBar->setValue(int(float(double(index) / count * 100.0))); });
        // A converter that reports its progress takes the bar from 0 to 100
        // again as it works; one that does not leaves it full while it runs.
        result = runConverter(converter, [this](int percent) { m_progressBar->setValue(percent); });
        m_progressBar->setValue(0);
    }
    tellResult(result, pictures, output);
}

void MainWindow::tellResult(const ConversionResult &result, const QStringList &pictures, const QString &output)
{
    // Bad pictures: a count in the box, the converter's every line behind it,
    // and the way to take exactly those pictures off the list.
    const QStringList bad = namedPictures(result.converterWords, pictures, output);
    if (bad.isEmpty()) {
        m_services.dialogs->message(this, result.message,
                                    result.outcome == ConversionResult::Outcome::Done ? Dialogs::MessageIcon::None
                                                                                      : Dialogs::MessageIcon::Warning);
        return;
    }
    const bool one = bad.size() == 1;
    const QString summary = one ? tr("1 picture could not be used, so nothing was written.")
                                : tr("%1 pictures could not be used, so nothing was written.").arg(bad.size());
    if (m_services.dialogs->offer(this, summary, result.converterWords,
                                  one ? tr("Remove It from the List") : tr("Remove Them from the List")))
        m_imageList->removePaths(QSet<QString>(bad.begin(), bad.end()));
}

void MainWindow::addFolder()
{
    const QString extension = m_services.dialogs->getText(this, tr("Enter file extension to load:"),
                                                          QStringLiteral("jpg"));
    if (extension.isEmpty())
        return;
    const QString folder = m_services.dialogs->getExistingDirectory(this, tr("Please select folder to add:"));
    if (folder.isEmpty())
        return;

    const QString pattern = extensionPattern(extension);
    QStringList paths;
    {
        const WindowPointer::BusyScope busy(m_pointer);
        // The window keeps answering during the walk, but the event loop runs
        // only every few tens of milliseconds, not once per entry.
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        paths = collectFolderFiles(folder, pattern, [&] {
            if (sinceEvents.elapsed() >= m_eventInterval) {
                QCoreApplication::processEvents();
                sinceEvents.restart();
            }
        });
    }
    if (paths.isEmpty())
        m_services.dialogs->message(this, tr("No files matching %1 were found in %2 or the folders below it.")
                                              .arg(pattern, QDir::toNativeSeparators(folder)),
                                    Dialogs::MessageIcon::None);
    m_imageList->append(paths);
}

void MainWindow::saveDelay()
{
    writeSetting(kSettingsApp, kSettingsSection, kDelayKey, m_delayEdit->text());
}

void MainWindow::checkDelayOnLeaving()
{
    m_delayCheckPending = false;
    if (m_warningShown || isNumericEntry(m_delayEdit->text()))
        return;
    m_warningShown = true;
    m_services.dialogs->message(this, tr("Must be numeric entry."), Dialogs::MessageIcon::Warning);
    m_warningShown = false;
    m_delayEdit->setFocus(Qt::OtherFocusReason);
}
