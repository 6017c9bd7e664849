#include "windows/image_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>

#include "imaging/capture.h"
#include "imaging/working_bmp.h"
#include "platform/file_drop_filter.h"
#include "platform/file_helpers.h"
#include "platform/twips.h"
#include "platform/user_dialogs.h"
#include "program/instance_channel.h"
#include "program/program_folder.h"
#include "program/shared_state.h"
#include "program/single_instance.h"
#include "settings/settings.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace {

constexpr int kStatusBarHeight = 20;
constexpr int kMinWindowWidthTwips = 2000;
constexpr int kMinWindowHeightTwips = 2200;

} // namespace

Form1::Form1(MDImain& main, SharedState& state, FileDropFilter* drops)
    : picMain(new QLabel(this)),
      imgLogo(new QLabel(this)),
      picStatusBar(new QFrame(this)),
      lblPicSize(new QLabel(picStatusBar)),
      main_(main),
      shared(state),
      drops_(drops) {
    setObjectName(QStringLiteral("Form1"));
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setAccessibleName(QStringLiteral("Picture"));
    picMain->setAccessibleDescription(QStringLiteral("The current picture as the handheld will show it"));
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    picStatusBar->setObjectName(QStringLiteral("picStatusBar"));
    lblPicSize->setObjectName(QStringLiteral("lblPicSize"));
    imgLogo->hide();
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/mireo/start_logo.png")));
    picStatusBar->setFrameShape(QFrame::StyledPanel);
    picStatusBar->resize(width(), kStatusBarHeight);
    lblPicSize->setGeometry(6, 0, 300, kStatusBarHeight);
}

Form1::~Form1() = default;

cInifile& Form1::settings() {
    if (!settings_) settings_ = std::make_unique<cInifile>();
    return *settings_;
}

// Steps after the frame's own: folders, settings file, palettes, stale
// working files, the logo, the display check, then the stored options.
void Form1::Form_Load() {
    drops_->watch(this);
    drops_->watch(picMain);
    shared.AppPath = ResolveAppPath(main_.startupOptions().programFolder);
    shared.IsWin9x = false;
    shared.Opt8Selected = main_.selectedDepth() == 8;
    shared.Opt4Selected = main_.selectedDepth() == 4;
    main_.setWindowTitle(QStringLiteral("Mireo"));
    const WorkingFiles files(shared.AppPath);
    if (!DirExists(files.folder())) QDir().mkpath(files.folder());
    instance_ = std::make_unique<SingleInstance>(files.folder());
    if (!instance_->acquired()) {
        MsgBox(QStringLiteral("Mireo is already running. Please use the window that is open."),
               MessageIcon::Information);
        main_.EndAtStartUp();
        return;
    }
    new InstanceServer(InstanceChannelName(files.folder()), [this](const QString& file) { main_.OpenFromDesktop(file); },
                       this);
    shared.TempBmpPath = files.picture();
    InitializeIni();
    main_.setBuildCommandsEnabled(false);
    // The palette tables are filled when the shared state is made.
    files.DeleteWorkingImages();
    if (QMdiSubWindow* window = main_.form1Window()) window->move(TwipsToPixels(200), TwipsToPixels(200));
    ShowStartLogo();
    shared.LogoShown = false;
    if (shared.ScreenBits < 16) {
        MsgBox(QStringLiteral("Problem! Mireo requires a video depth of at least 16-bit.\n"
                              "Please check your video settings."));
        main_.CleanUpAndQuit();
        return;
    }
    if (QMdiSubWindow* window = main_.form1Window()) window->show();
    ReadINI();
    applyStoredDepth();
    main_.showCompression(shared.UseCompression);
}

void Form1::applyStoredDepth() {
    const QString depth = shared.DefaultColorDepth.toLower();
    for (int bits : {16, 8, 4}) {
        if (depth != QStringLiteral("%1-bit").arg(bits)) continue;
        main_.selectDepth(bits);
        shared.ColorDepthBits = static_cast<int16_t>(bits);
    }
}

void Form1::InitializeIni() {
    if (!InitializeSettingsFile(settings(), shared.AppPath))
        MsgBox(QStringLiteral("Failed to save value to Mireo.ini file."), MessageIcon::Information);
}

void Form1::ReadINI() {
    const SettingsRead read = ReadSettings(settings(), shared);
    if (read.method == StoredMethod::Dithered) main_.selectMethod(mireo::imaging::Method::Diffused);
    if (read.method == StoredMethod::Nearest) main_.selectMethod(mireo::imaging::Method::Nearest);
    if (read.failed) MsgBox(QStringLiteral("Failed to get value from Mireo.ini."), MessageIcon::Information);
}

void Form1::WriteINI() {
    const int depth = main_.selectedDepth();
    shared.Opt16Selected = depth == 16;
    shared.Opt8Selected = depth == 8;
    shared.Opt4Selected = depth == 4;
    if (!WriteSettings(settings(), shared, {depth, main_.ditheredSelected(), main_.nearestSelected()}))
        MsgBox(QStringLiteral("Failed to save value to Mireo.ini file."), MessageIcon::Information);
}

void Form1::ShowStartLogo() {
    picMain->setPixmap(imgLogo->pixmap());
    picMain->resize(imgLogo->pixmap().size());
    setWindowSizeTwips(PixelsToTwips(picMain->width()) + 500, PixelsToTwips(picMain->height()) + 1000);
    picMain->move(TwipsToPixels(230), TwipsToPixels(120));
    picStatusBar->setGeometry(0, TwipsToPixels(windowHeightTwips() - 500), width(), kStatusBarHeight);
    setWindowTitle(QStringLiteral(" "));
    lblPicSize->clear();
    shared.LogoShown = true;
}

void Form1::capturePicture(int depth) {
    shared.PicBits = mireo::imaging::captureDeviceBits(mireo::imaging::previewSource(picBuff, depth));
    shared.PicInfo = {0, picBuff.width(), picBuff.height(), picBuff.width() * 4, 1, mireo::imaging::kCaptureBitsPerPixel};
    shared.PicRowBytes = shared.PicInfo.bmWidth * 4;
}

bool Form1::writePreview(int depth, mireo::imaging::Method method) {
    const QString path = WorkingFiles(shared.AppPath).preview(depth, method);
    return mireo::imaging::writeReducedBmp(main_.library(), shared.PicBits, shared.PicInfo.bmWidth,
                                           shared.PicInfo.bmHeight, depth, method, path.toStdString(),
                                           shared.Grey16Palette, shared.Palm8Palette);
}

bool Form1::showFile(const QString& path) {
    const QImage picture = mireo::imaging::readWorkingBmp(path);
    if (picture.isNull()) return false;
    picMain->setPixmap(QPixmap::fromImage(picture));
    picMain->resize(picture.size());
    return true;
}

void Form1::sizeToPicture() {
    const int height = PixelsToTwips(picMain->height()) + PixelsToTwips(picMain->y()) + 1000;
    const int width = PixelsToTwips(picMain->width()) + PixelsToTwips(picMain->x()) + 275;
    shared.ImageWindowHeight = static_cast<int16_t>(std::max(height, kMinWindowHeightTwips));
    shared.ImageWindowWidth = static_cast<int16_t>(std::max(width, kMinWindowWidthTwips));
    setWindowSizeTwips(shared.ImageWindowWidth, shared.ImageWindowHeight);
}

void Form1::placeStatusBar() {
    picStatusBar->setGeometry(0, TwipsToPixels(windowHeightTwips() - 500) - kStatusBarHeight, width(),
                              kStatusBarHeight);
}

QString Form1::sizeText(QSize size) {
    return QString::number(size.width()) + QStringLiteral(" x ") + QString::number(size.height()) +
           QStringLiteral(" Pixels");
}

void Form1::resetDisplay() {
    picMain->clear();
    picMain->resize(TwipsToPixels(3888), TwipsToPixels(3888));
    setWindowSizeTwips(4188, 4944);
}

int Form1::windowWidthTwips() const { return PixelsToTwips(windowSize_.width()); }

int Form1::windowHeightTwips() const { return PixelsToTwips(windowSize_.height()); }

void Form1::setWindowSizeTwips(int width, int height) {
    windowSize_ = QSize(TwipsToPixels(width), TwipsToPixels(height));
    resize(windowSize_);
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) window->resize(window->sizeHint());
}

QSize Form1::sizeHint() const { return windowSize_.isValid() ? windowSize_ : QWidget::sizeHint(); }

void Form1::closeEvent(QCloseEvent* event) {
    WriteINI();
    event->accept();
}
