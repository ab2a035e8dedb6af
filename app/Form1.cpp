#include "app/Form1.h"

#include "app/Dialogs.h"
#include "convert/ConversionRun.h"
#include "convert/ConverterCommand.h"
#include "convert/DelayCheck.h"
#include "convert/Settings.h"
#include "imagelist/AddFolder.h"
#include "imagelist/ImageListModel.h"
#include "imagelist/ImageListView.h"
#include "ui/ActionButton.h"
#include "ui/CursorFile.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

Form1::Form1(Form1Services services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)), m_pointer(this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    paintWhite(this, QPalette::Window);

    // The title bar shows no picture: a fully transparent 32 x 32 icon.
    QPixmap transparent(32, 32);
    transparent.fill(Qt::transparent);
    setWindowIcon(QIcon(transparent));

    createControls();
    setTabOrder();
    watchPointerMoves();
    m_pointer.coverWhenBusy(Text1, [this] { Text1->setCursor(Qt::IBeamCursor); });
    m_pointer.coverWhenBusy(ListView1->viewport(), [this] { ListView1->restoreOwnPointer(); });

    // The unseen Command1 holds the focus at start, so no visible control shows
    // it and Enter or Space does nothing.
    Command1->setFocus();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_imageList = new ImageListModel(this);
    ListView1 = place(new ImageListView(m_imageList, &m_pointer, m_services.programFolder, this), "ListView1",
                      twipsRect(120, 120, 6375, 1815));
    ListView1->setFont(arialBold(9));
    ListView1->setToolTip(tr("Drag and drop files here. Double-click item to remove it. "
                             "Move bar to right and out of window to reveal full names."));

    Label1 = place(new QLabel(tr("Delay between images (in seconds):"), this), "Label1",
                   twipsRect(180, 2070, 3300, 225));
    Label1->setFont(arialBold(9));
    paintWhite(Label1, QPalette::Window);

    Text1 = place(new QLineEdit(this), "Text1", twipsRect(3600, 2025, 870, 330));
    Text1->setFont(arialBold(9));
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    Text1->installEventFilter(this);

    Check1 = place(new ActionButton(tr("Add JPG File(s)"), QIcon(QStringLiteral(":/icons/add-files.svg")), this),
                   "Check1", twipsRect(120, 2445, 2055, 1335));
    Check3 = place(new ActionButton(tr("Add All Files(s) In Folder"), QIcon(QStringLiteral(":/icons/add-folder.svg")), this),
                   "Check3", twipsRect(2280, 2445, 2055, 1335));
    Check2 = place(new ActionButton(tr("Convert"), QIcon(QStringLiteral(":/icons/convert.svg")), this),
                   "Check2", twipsRect(4440, 2445, 2055, 1335));
    for (QToolButton *button : {Check1, Check3, Check2})
        button->setFont(arialBold(11.25));
    connect(Check1, &QToolButton::clicked, this, &Form1::Check1_Click);
    connect(Check3, &QToolButton::clicked, this, &Form1::Check3_Click);
    connect(Check2, &QToolButton::clicked, this, &Form1::Check2_Click);

    ProgressBar1 = place(new QProgressBar(this), "ProgressBar1", twipsRect(120, 3900, 6375, 375));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    // Lies wholly left of the client area: never seen, no action.
    Command1 = place(new QPushButton(tr("Command1"), this), "Command1", twipsRect(-720, 2640, 615, 495));
    Command1->setAutoDefault(false);

    Label1->setFocusPolicy(Qt::NoFocus);
    ProgressBar1->setFocusPolicy(Qt::NoFocus);
}

void Form1::setTabOrder()
{
    const QList<QWidget *> order{Command1, Check1, Check2, ListView1, Check3, Text1};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Form1::watchPointerMoves()
{
    setMouseTracking(true);
    for (QWidget *control : QList<QWidget *>{Check1, Check2, Check3, Label1, ProgressBar1}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }
    Text1->setMouseTracking(true);
}

void Form1::Form_Load()
{
    CenterForm(this);
    setWindowTitle(kApplicationTitle);

    const QString handPath = m_services.programFolder + QDir::separator() + QStringLiteral("HAND-M.CUR");
    if (FileExists(handPath))
        m_pointer.setCustomCursor(loadCursor(handPath));

    if (m_services.homePage.random && m_services.homePage.open)
        RandomHomePage(m_services.homePage);

    ListView1->header()->resizeSection(0, twipsToPixels(kListColumnWidth));

    // Setting the text raises the change handler, which writes it straight back:
    // after the first start the store holds the delay.
    Text1->setText(ReadSetting(kSettingsApp, kSettingsSection, kDelayKey, kDefaultDelay));

    paintWhite(ProgressBar1, QPalette::Base);
    paintWhite(ProgressBar1, QPalette::Window);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

void Form1::Form_Unload()
{
    emit unloaded();
}

void Form1::moveEvent(QMoveEvent *event)
{
    // A window manager adds its frame only once the window is shown; the first
    // move that reveals it centres the window again on its outer size.
    if (!m_centredInFrame && frameGeometry().size() != size()) {
        m_centredInFrame = true;
        CenterForm(this);
    }
    QWidget::moveEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    // Moves that a control ignored travel up to the window; only those over the
    // bare surface are the window's own.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::Form_MouseMove()
{
    m_pointer.hover(WindowPointer::Shape::Default);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == Check1 || watched == Check2 || watched == Check3)
            m_pointer.hover(WindowPointer::Shape::Custom);
        else if (watched == Label1 || watched == Text1 || watched == ProgressBar1)
            m_pointer.hover(WindowPointer::Shape::Default);
    } else if (watched == Text1 && event->type() == QEvent::FocusOut) {
        // Only a move to another control of this window counts: switching to
        // another application, or our own message box taking the focus, does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            // After the focus change has finished: a modal box inside it would
            // swallow the release of the press that moved the focus.
            QMetaObject::invokeMethod(this, &Form1::Text1_LostFocus, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Check1_Click()
{
    // Camera files are often named in capitals: the patterns say so, for
    // desktop dialogs that match letter case exactly.
    const QStringList chosen = m_services.dialogs->getOpenFileNames(
        this, tr("Add File(s) - Hold Ctrl or Shift to select multiple files"),
        QStringLiteral("All JPEG (*.jpeg;*.jpg) (*.jpeg *.jpg *.JPEG *.JPG)"));
    m_imageList->append(chosen);
}

void Form1::Check2_Click()
{
    if (m_imageList->count() <= 0) {
        m_services.dialogs->message(this, tr("No files added."), Dialogs::MessageIcon::None);
        return;
    }
    const QString output = m_services.dialogs->getSaveFileName(
        this, tr("Save Slide Show As (SWF file)"),
        {{QStringLiteral("Shockwave Flash files (*.swf)"), QString()},
         {QStringLiteral("Web page (*.html)"), QStringLiteral("html")}});
    if (output.isEmpty())
        return;

    ConversionResult result;
    {
        const WindowPointer::BusyScope busy(m_pointer);
        // The list is read after the dialog: it may have changed while it was open.
        const ConverterCommand converter = buildConverterCommand(
            m_services.programFolder, Text1->text(), m_imageList->paths(), output,
            [this](int index, int count) { ProgressBar1->setValue(int(float(double(index) / count * 100.0))); });
        result = runConverter(converter.command);
        ProgressBar1->setValue(0);
    }
    m_services.dialogs->message(this, result.message,
                                result.outcome == ConversionResult::Outcome::Done ? Dialogs::MessageIcon::None
                                                                                  : Dialogs::MessageIcon::Warning);
}

void Form1::Check3_Click()
{
    const QString extension = m_services.dialogs->getText(this, tr("Enter file extension to load:"),
                                                          QStringLiteral("jpg"));
    if (extension.isEmpty())
        return;
    const QString folder = BrowseForFolder(*m_services.dialogs, this, tr("Please select folder to add:"));
    if (folder.isEmpty())
        return;

    const WindowPointer::BusyScope busy(m_pointer);
    // The window keeps answering during the walk, but the event loop runs only
    // every few tens of milliseconds, not once per entry.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const QStringList paths = collectFolderFiles(folder, QStringLiteral("*.") + extension, [&] {
        if (sinceEvents.elapsed() >= m_eventInterval) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    });
    m_imageList->append(paths);
}

void Form1::Text1_Change()
{
    WriteSetting(kSettingsApp, kSettingsSection, kDelayKey, Text1->text());
}

void Form1::Text1_LostFocus()
{
    if (m_warningShown || isNumericEntry(Text1->text()))
        return;
    m_warningShown = true;
    m_services.dialogs->message(this, tr("Must be numeric entry."), Dialogs::MessageIcon::Warning);
    m_warningShown = false;
    Text1->setFocus(Qt::OtherFocusReason);
}
