#include "mdi_main.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "app_path.h"
#include "dialogs.h"
#include "file_drop_filter.h"
#include "form1.h"
#include "mod_launch_html.h"
#include "mod_util.h"
#include "open_backimage.h"
#include "run_time_error.h"
#include "qt_window_system.h"
#include "shared_state.h"
#include "twips.h"

// Qt resources of a static library are registered by hand.
static void registerResources() { Q_INIT_RESOURCE(mireo); }

namespace {

MDImain* theMainWindow = nullptr;

constexpr int kToolbarHeightTwips = 972;
constexpr int kOptionsWidthTwips = 2172;

QToolButton* imageButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip,
                         const char* icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolTip(tooltip);
    button->setIcon(QIcon(QStringLiteral(":/mireo/%1.png").arg(QLatin1String(icon))));
    button->setIconSize(QSize(32, 32));
    return button;
}

QToolButton* optionButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip,
                          const char* icon) {
    QToolButton* button = imageButton(parent, name, caption, tooltip, icon);
    button->setCheckable(true);
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QHBoxLayout* sideBySide(QToolButton* left, QToolButton* right) {
    auto* row = new QHBoxLayout;
    row->addWidget(left);
    row->addWidget(right);
    return row;
}

} // namespace

MDImain& TheMainWindow() { return *theMainWindow; }

MDImain::MDImain(const StartupOptions& options) : options_(options) {
    registerResources();
    // A second copy that is turned away at start-up leaves the first in charge.
    if (!theMainWindow) theMainWindow = this;
    setObjectName(QStringLiteral("MDImain"));
    setWindowIcon(QIcon(QStringLiteral(":/mireo/mireo.png")));
    if (options_.programFolder.isEmpty()) options_.programFolder = QCoreApplication::applicationDirPath();
    buildToolbar();
    buildOptionsPanel();
    mdiArea_ = new QMdiArea;
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(Picture1);
    body->addWidget(mdiArea_, 1);
    auto* central = new QWidget;
    auto* frame = new QVBoxLayout(central);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->addWidget(Picture2);
    frame->addLayout(body, 1);
    setCentralWidget(central);
    resize(1000, 720);
    connectCommands();
    Form_Load();
}

MDImain::~MDImain() {
    if (theMainWindow == this) theMainWindow = nullptr;
}

void MDImain::buildToolbar() {
    Picture2 = new QWidget;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedHeight(TwipsToPixels(kToolbarHeightTwips));
    cmdLoadPic = imageButton(Picture2, "cmdLoadPic", QStringLiteral("Load Picture"),
                             QStringLiteral("Open a Windows BMP, GIF, or JPG file."), "load_picture");
    cmdLoadVTPDB = imageButton(Picture2, "cmdLoadVTPDB", QStringLiteral("Open Backimage"),
                               QStringLiteral("Open a Vantrel backimage \"PDB\" file."), "open_backimage");
    cmdCreatePDB = imageButton(Picture2, "cmdCreatePDB", QStringLiteral("Create  Backimage"),
                               QStringLiteral("Save the current image to a Vantrel backimage PDB file."),
                               "create_backimage");
    cmdExportImg = imageButton(Picture2, "cmdExportImg", QStringLiteral("Save Image"),
                               QStringLiteral("Export the current image to a Windows BMP file."), "save_image");
    cmdHelp = imageButton(Picture2, "cmdHelp", QStringLiteral("Help"), QStringLiteral("Open the Mireo help file."),
                          "help");
    cmdAbout = imageButton(Picture2, "cmdAbout", QStringLiteral("About"), QStringLiteral("About Mireo."), "about");
    cmdExit = imageButton(Picture2, "cmdExit", QStringLiteral("Exit"), QStringLiteral("Goodbye!"), "exit");
    auto* row = new QHBoxLayout(Picture2);
    row->setContentsMargins(4, 2, 4, 2);
    for (QToolButton* button : {cmdLoadPic, cmdLoadVTPDB, cmdCreatePDB, cmdExportImg, cmdHelp, cmdAbout, cmdExit}) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setMinimumWidth(96);
        row->addWidget(button);
    }
    row->addStretch(1);
}

void MDImain::buildOptionsPanel() {
    Picture1 = new QWidget;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedWidth(TwipsToPixels(kOptionsWidthTwips));
    QFont smaller = Picture1->font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    Picture1->setFont(smaller);
    opt16Bit = optionButton(Picture1, "opt16Bit", QStringLiteral("16-Bit Color Depth"),
                            QStringLiteral("Display image in 16-bit (65536 colors)."), "depth16");
    opt8Bit = optionButton(Picture1, "opt8Bit", QStringLiteral("8-Bit Color Depth"),
                           QStringLiteral("Display image in 8-bit (256 colors)."), "depth8");
    opt4Bit = optionButton(Picture1, "opt4Bit", QStringLiteral("4-Bit Color Depth"),
                           QStringLiteral("Display image in 4-bit (16 color grayscale)."), "depth4");
    optDithered = optionButton(Picture1, "optDithered", QStringLiteral("Diffused"),
                               QStringLiteral("On 4 and 8-bit images, use error diffusion color reduction."),
                               "diffused");
    optNearestCol = optionButton(Picture1, "optNearestCol", QStringLiteral("Nearest Color"),
                                 QStringLiteral("On 4 and 8-bit images, use nearest color reduction."), "nearest");
    cmdResizeImg = imageButton(Picture1, "cmdResizeImg", QStringLiteral("Resize Image"),
                               QStringLiteral("Change the size of the current image."), "resize");
    cmdResizeImg->setIconSize(QSize(20, 20));
    cmdResizeImg->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    cmdResizeImg->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cmdFlip_V = imageButton(Picture1, "cmdFlip_V", {}, QStringLiteral("Flip Image Vertically"), "flip_vertical");
    cmdFlip_H = imageButton(Picture1, "cmdFlip_H", {}, QStringLiteral("Flip Image Horizontally"), "flip_horizontal");
    cmdRotateL = imageButton(Picture1, "cmdRotateL", {}, QStringLiteral("Rotate Image 90 Degrees Left"), "rotate_left");
    cmdRotateR = imageButton(Picture1, "cmdRotateR", {}, QStringLiteral("Rotate Image 90 Degrees Right"),
                             "rotate_right");
    cmdCompress = optionButton(Picture1, "cmdCompress", QStringLiteral("Compression is Off"), {}, "compress");
    Label2 = new QLabel(QStringLiteral("Palm Backimage Name"), Picture1);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtPDBname = new QLineEdit(Picture1);
    txtPDBname->setObjectName(QStringLiteral("txtPDBname"));
    txtPDBname->setMaxLength(31);
    cmdPDBNameExplain =
        imageButton(Picture1, "cmdPDBNameExplain", {}, QStringLiteral("Help on the Palm Backimage Name."), "name_help");
    cmdPDBNameExplain->setIconSize(QSize(16, 16));
    lblWorking = new QLabel(QStringLiteral("Working.........."), Picture1);
    lblWorking->setObjectName(QStringLiteral("lblWorking"));
    lblWorking->hide();

    depthOptions = new QButtonGroup(this);
    for (QToolButton* option : {opt16Bit, opt8Bit, opt4Bit}) depthOptions->addButton(option);
    methodOptions = new QButtonGroup(this);
    for (QToolButton* option : {optDithered, optNearestCol}) methodOptions->addButton(option);

    auto* column = new QVBoxLayout(Picture1);
    column->setContentsMargins(2, 4, 2, 4);
    for (QToolButton* option : {opt16Bit, opt8Bit, opt4Bit}) column->addWidget(option);
    column->addSpacing(8);
    for (QToolButton* option : {optDithered, optNearestCol}) column->addWidget(option);
    column->addSpacing(8);
    column->addWidget(cmdResizeImg);
    column->addLayout(sideBySide(cmdFlip_V, cmdFlip_H));
    column->addLayout(sideBySide(cmdRotateL, cmdRotateR));
    column->addWidget(cmdCompress);
    column->addSpacing(8);
    column->addWidget(Label2);
    auto* name = new QHBoxLayout;
    name->addWidget(txtPDBname, 1);
    name->addWidget(cmdPDBNameExplain);
    column->addLayout(name);
    column->addWidget(lblWorking);
    column->addStretch(1);
}

void MDImain::connectCommands() {
    const std::pair<QToolButton*, void (MDImain::*)()> commands[] = {
        {cmdLoadPic, &MDImain::cmdLoadPic_Click},       {cmdLoadVTPDB, &MDImain::cmdLoadVTPDB_Click},
        {cmdCreatePDB, &MDImain::cmdCreatePDB_Click},   {cmdExportImg, &MDImain::cmdExportImg_Click},
        {cmdHelp, &MDImain::cmdHelp_Click},             {cmdAbout, &MDImain::cmdAbout_Click},
        {cmdExit, &MDImain::cmdExit_Click},             {opt16Bit, &MDImain::opt16Bit_Click},
        {opt8Bit, &MDImain::opt8Bit_Click},             {opt4Bit, &MDImain::opt4Bit_Click},
        {optNearestCol, &MDImain::optNearestCol_Click}, {optDithered, &MDImain::optDithered_Click},
        {cmdResizeImg, &MDImain::cmdResizeImg_Click},
        {cmdFlip_V, &MDImain::cmdFlip_V_Click},         {cmdFlip_H, &MDImain::cmdFlip_H_Click},
        {cmdRotateL, &MDImain::cmdRotateL_Click},       {cmdRotateR, &MDImain::cmdRotateR_Click},
        {cmdCompress, &MDImain::cmdCompress_Click},     {cmdPDBNameExplain, &MDImain::cmdPDBNameExplain_Click},
    };
    for (const auto& [button, handler] : commands) connect(button, &QToolButton::clicked, this, handler);
}

// Start-up of the frame: the display depth, file drops and the 16-bit
// option; the image window does the program-wide rest.
void MDImain::Form_Load() {
    try {
        InstallWindowSystem();
    } catch (const RunTimeError& error) {
        MsgBox(QStringLiteral("Mireo could not load its image library (Error #%1 %2). "
                              "Pictures cannot be converted.")
                   .arg(error.number)
                   .arg(error.description));
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    ScreenBits = options_.screenBits ? options_.screenBits : (screen ? screen->depth() : 0);
    auto* drops = new FileDropFilter([this](const QStringList& files, bool copy) { FilesDropped(files, copy); }, this);
    drops->watch(this);
    drops->watch(Picture1);
    opt16Bit->setChecked(true);

    form1_ = new Form1(*this, drops);
    form1Window_ = mdiArea_->addSubWindow(form1_, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
    form1_->Form_Load();
}

QList<QToolButton*> MDImain::workingControls() const {
    return {cmdLoadPic, cmdLoadVTPDB, cmdCreatePDB, cmdExportImg, opt16Bit, opt8Bit,
            opt4Bit,    optDithered,  optNearestCol, cmdHelp,     cmdAbout, cmdResizeImg};
}

QList<QToolButton*> MDImain::flipRotateButtons() const { return {cmdFlip_V, cmdFlip_H, cmdRotateL, cmdRotateR}; }

void MDImain::DisableControls() {
    for (QToolButton* control : workingControls()) control->setEnabled(false);
}

void MDImain::EnableControls() {
    for (QToolButton* control : workingControls()) control->setEnabled(true);
    if (WantNearest) optNearestCol->setChecked(true);
    if (WantDithered) optDithered->setChecked(true);
    if (Want16Bit) opt16Bit->setChecked(true);
    if (Want8Bit) opt8Bit->setChecked(true);
    if (Want4Bit) opt4Bit->setChecked(true);
    if (UseCompression) {
        cmdCompress->setChecked(true);
        cmdCompress->setText(QStringLiteral("Compression is On"));
    }
}

void MDImain::SaveOptionStates() {
    WantDithered = optDithered->isChecked();
    WantNearest = optNearestCol->isChecked();
    Want16Bit = opt16Bit->isChecked();
    Want8Bit = opt8Bit->isChecked();
    Want4Bit = opt4Bit->isChecked();
    UseCompression = cmdCompress->isChecked();
    ResizeWasEnabled = cmdResizeImg->isEnabled();
}

void MDImain::EnableFlipRotate() {
    for (QToolButton* button : flipRotateButtons()) button->setEnabled(true);
}

void MDImain::DisableFlipRotate() {
    for (QToolButton* button : flipRotateButtons()) button->setEnabled(false);
}

void MDImain::FilesDropped(const QStringList& files, bool copyAllowed) {
    if (copyAllowed && !files.isEmpty()) {
        DroppedFileName = files.first();
        DroppedFileFlag = true;
    }
    OpenDroppedFile();
}

void MDImain::cmdLoadPic_Click() {
    FileDialogSetup setup;
    setup.title = QStringLiteral("Load Picture");
    setup.filter = QStringLiteral("Image File (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif");
    setup.filterIndex = 1;
    setup.flags = kHideReadOnly;
    const std::optional<QString> file = dialogs().openFile(setup);
    if (!file) {
        form1_->setWindowTitle(QStringLiteral(" "));
        return;
    }
    CurrentFile = *file;
    ReloadFromBuffer = false;
    ImageLoaded = false;
    SaveOptionStates();
    DeleteWorkingImages();
    form1_->LoadImage();
    EnableFlipRotate();
}

void MDImain::cmdLoadVTPDB_Click() {
    SaveOptionStates();
    LoadVTPDB();
}

void MDImain::cmdExportImg_Click() { ExportImg(); }

void MDImain::cmdHelp_Click() { StartBrowser(this, HelpPagePath(options_.programFolder)); }

void MDImain::cmdExit_Click() {
    form1_->WriteINI();
    CleanUpAndQuit();
}

void MDImain::CleanUpAndQuit() {
    const QString temp = AppPath + QStringLiteral("/temp");
    for (const char* pattern : {"*.bmp", "*.bin"})
        if (FileExists(temp + QLatin1Char('/') + QLatin1String(pattern))) DeleteMatching(temp, QLatin1String(pattern));
    form1_->close();
    for (const char* dialog : {"frmResize", "frmChangeBackColor", "frmCrop"})
        if (QWidget* window = FindForm(QLatin1String(dialog))) window->close();
    ended_ = true;
    closing_ = true;
    close();
}

void MDImain::EndAtStartUp() {
    ended_ = true;
    closing_ = true;
}

void MDImain::closeEvent(QCloseEvent* event) {
    if (!closing_) CleanUpAndQuit();
    event->accept();
}
