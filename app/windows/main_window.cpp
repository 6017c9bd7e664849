#include "windows/main_window.h"

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

#include "platform/file_drop_filter.h"
#include "platform/twips.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/library_binding.h"
#include "program/shared_state.h"
#include "program/window_system.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"
#include "workfiles/working_files.h"

// Qt resources of a static library are registered by hand.
static void registerResources() { Q_INIT_RESOURCE(mireo); }

namespace {

constexpr int kToolbarHeightTwips = 972;
constexpr int kOptionsWidthTwips = 2172;

QToolButton* imageButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip,
                         const char* icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolTip(tooltip);
    // A button that shows only its icon is named by its tooltip for screen readers.
    if (caption.isEmpty()) button->setAccessibleName(tooltip);
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

MDImain::MDImain(SharedState& state, const StartupOptions& options) : shared(state), options_(options) {
    registerResources();
    if (!options_.library) options_.library = &mireocore::BoundLibrary();
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

MDImain::~MDImain() = default;

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
    txtPDBname->setAccessibleName(Label2->text());
    cmdPDBNameExplain =
        imageButton(Picture1, "cmdPDBNameExplain", {}, QStringLiteral("Help on the Palm Backimage Name."), "name_help");
    cmdPDBNameExplain->setIconSize(QSize(16, 16));
    lblWorking = new QLabel(QStringLiteral("Working.........."), Picture1);
    lblWorking->setObjectName(QStringLiteral("lblWorking"));
    lblWorking->hide();

    // The depth options form one exclusive group, the methods another.
    auto* depths = new QButtonGroup(this);
    for (QToolButton* option : {opt16Bit, opt8Bit, opt4Bit}) depths->addButton(option);
    auto* methods = new QButtonGroup(this);
    for (QToolButton* option : {optDithered, optNearestCol}) methods->addButton(option);

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
        InstallWindowSystem(library());
    } catch (const AppError& error) {
        MsgBox(QStringLiteral("Mireo could not load its image library (Error #%1 %2). "
                              "Pictures cannot be converted.")
                   .arg(error.number)
                   .arg(error.description));
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    shared.ScreenBits = options_.screenBits ? options_.screenBits : (screen ? screen->depth() : 0);
    auto* drops = new FileDropFilter([this](const QStringList& files, bool copy) { FilesDropped(files, copy); }, this);
    drops->watch(this);
    drops->watch(Picture1);
    opt16Bit->setChecked(true);

    form1_ = new Form1(*this, shared, drops);
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
    if (shared.WantNearest) optNearestCol->setChecked(true);
    if (shared.WantDithered) optDithered->setChecked(true);
    if (shared.Want16Bit) opt16Bit->setChecked(true);
    if (shared.Want8Bit) opt8Bit->setChecked(true);
    if (shared.Want4Bit) opt4Bit->setChecked(true);
    // The button always shows what a build will do, also when the settings
    // were read again meanwhile and turned compression off.
    showCompression(shared.UseCompression);
}

void MDImain::SaveOptionStates() {
    shared.WantDithered = optDithered->isChecked();
    shared.WantNearest = optNearestCol->isChecked();
    shared.Want16Bit = opt16Bit->isChecked();
    shared.Want8Bit = opt8Bit->isChecked();
    shared.Want4Bit = opt4Bit->isChecked();
    shared.UseCompression = cmdCompress->isChecked();
    shared.ResizeWasEnabled = cmdResizeImg->isEnabled();
}

void MDImain::EnableFlipRotate() {
    for (QToolButton* button : flipRotateButtons()) button->setEnabled(true);
}

void MDImain::DisableFlipRotate() {
    for (QToolButton* button : flipRotateButtons()) button->setEnabled(false);
}

int MDImain::selectedDepth() const {
    return opt16Bit->isChecked() ? 16 : opt8Bit->isChecked() ? 8 : opt4Bit->isChecked() ? 4 : 0;
}

void MDImain::selectDepth(int bits) {
    for (auto [option, depth] : {std::pair{opt4Bit, 4}, {opt8Bit, 8}, {opt16Bit, 16}})
        if (depth == bits) option->setChecked(true);
}

bool MDImain::ditheredSelected() const { return optDithered->isChecked(); }

bool MDImain::nearestSelected() const { return optNearestCol->isChecked(); }

void MDImain::selectMethod(mireo::imaging::Method method) {
    (method == mireo::imaging::Method::Diffused ? optDithered : optNearestCol)->setChecked(true);
}

void MDImain::showCompression(bool on) {
    cmdCompress->setChecked(on);
    cmdCompress->setText(on ? QStringLiteral("Compression is On") : QStringLiteral("Compression is Off"));
}

void MDImain::setBuildCommandsEnabled(bool enabled) {
    cmdCreatePDB->setEnabled(enabled);
    cmdExportImg->setEnabled(enabled);
}

void MDImain::setResizeEnabled(bool enabled) { cmdResizeImg->setEnabled(enabled); }

bool MDImain::resizeEnabled() const { return cmdResizeImg->isEnabled(); }

void MDImain::enableOptions() {
    for (QToolButton* option : {opt16Bit, opt8Bit, opt4Bit, optNearestCol, optDithered}) option->setEnabled(true);
}

void MDImain::enableConvertedPictureControls() {
    setBuildCommandsEnabled(true);
    enableOptions();
    cmdResizeImg->setEnabled(true);
}

void MDImain::showWorking(bool shown) { lblWorking->setVisible(shown); }

QString MDImain::backimageNameText() const { return txtPDBname->text(); }

void MDImain::setBackimageNameText(const QString& text) { txtPDBname->setText(text); }

void MDImain::FilesDropped(const QStringList& files, bool copyAllowed) {
    if (copyAllowed && !files.isEmpty()) {
        shared.DroppedFileName = files.first();
        shared.DroppedFileFlag = true;
    }
    OpenDroppedFile();
}

void MDImain::OpenFromDesktop(const QString& file) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    if (!file.isEmpty()) FilesDropped({file}, true);
}

void MDImain::cmdExit_Click() {
    form1_->WriteINI();
    CleanUpAndQuit();
}

void MDImain::CleanUpAndQuit() {
    WorkingFiles(shared.AppPath).cleanUp();
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
