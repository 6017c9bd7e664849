#include "form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLockFile>
#include <QMdiSubWindow>
#include <QToolButton>

#include "app_path.h"
#include "dialogs.h"
#include "file_drop_filter.h"
#include "mdi_main.h"
#include "mod_util.h"
#include "palettes.h"
#include "shared_state.h"
#include "twips.h"

namespace {

constexpr int kStatusBarHeight = 20;

} // namespace

Form1::Form1(MDImain& main, FileDropFilter* drops)
    : picMain(new QLabel(this)),
      picBuff(new QLabel(this)),
      imgBuff(new QLabel(this)),
      imgLogo(new QLabel(this)),
      picStatusBar(new QFrame(this)),
      lblPicSize(new QLabel(picStatusBar)),
      main_(main),
      drops_(drops) {
    setObjectName(QStringLiteral("Form1"));
    picMain->setObjectName(QStringLiteral("picMain"));
    picBuff->setObjectName(QStringLiteral("picBuff"));
    imgBuff->setObjectName(QStringLiteral("imgBuff"));
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    picStatusBar->setObjectName(QStringLiteral("picStatusBar"));
    lblPicSize->setObjectName(QStringLiteral("lblPicSize"));
    picBuff->hide();
    imgBuff->hide();
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
    AppPath = ResolveAppPath(main_.startupOptions().programFolder);
    IsWin9x = false;
    Opt8Selected = main_.opt8Bit->isChecked();
    Opt4Selected = main_.opt4Bit->isChecked();
    main_.setWindowTitle(QStringLiteral("Mireo"));
    const QString temp = AppPath + QStringLiteral("/temp");
    if (!DirExists(temp)) QDir().mkpath(temp);
    if (!lockTemporaryFolder(temp)) {
        MsgBox(QStringLiteral("Mireo is already running. Please use the window that is open."),
               MessageIcon::Information);
        main_.EndAtStartUp();
        return;
    }
    TempBmpPath = AppPath + QStringLiteral("/temp/temp.bmp");
    InitializeIni();
    main_.cmdCreatePDB->setEnabled(false);
    main_.cmdExportImg->setEnabled(false);
    FillPalettes();
    DeleteWorkingImages();
    if (QMdiSubWindow* window = main_.form1Window()) window->move(TwipsToPixels(200), TwipsToPixels(200));
    ShowStartLogo();
    LogoShown = false;
    if (ScreenBits < 16) {
        MsgBox(QStringLiteral("Problem! Mireo requires a video depth of at least 16-bit.\n"
                              "Please check your video settings."));
        main_.CleanUpAndQuit();
        return;
    }
    if (QMdiSubWindow* window = main_.form1Window()) window->show();
    ReadINI();
    applyStoredDepth();
    applyStoredCompression();
}

// A second running copy must not delete this one's working files.  Only a
// lock held by a live process counts; a folder that cannot hold the lock
// file fails later, like every other use of the folder.
bool Form1::lockTemporaryFolder(const QString& folder) {
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/Mireo.lock"));
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError;
}

void Form1::applyStoredDepth() {
    const QString depth = DefaultColorDepth.toLower();
    if (depth == QLatin1String("16-bit")) {
        main_.opt16Bit->setChecked(true);
        ColorDepthBits = 16;
    } else if (depth == QLatin1String("8-bit")) {
        main_.opt8Bit->setChecked(true);
        ColorDepthBits = 8;
    } else if (depth == QLatin1String("4-bit")) {
        main_.opt4Bit->setChecked(true);
        ColorDepthBits = 4;
    }
}

void Form1::applyStoredCompression() {
    main_.cmdCompress->setChecked(UseCompression);
    main_.cmdCompress->setText(UseCompression ? QStringLiteral("Compression is On")
                                              : QStringLiteral("Compression is Off"));
}

void Form1::ShowStartLogo() {
    picMain->setPixmap(imgLogo->pixmap());
    picMain->resize(imgLogo->pixmap().size());
    setWindowSizeTwips(PixelsToTwips(picMain->width()) + 500, PixelsToTwips(picMain->height()) + 1000);
    picMain->move(TwipsToPixels(230), TwipsToPixels(120));
    picStatusBar->setGeometry(0, TwipsToPixels(windowHeightTwips() - 500), width(), kStatusBarHeight);
    setWindowTitle(QStringLiteral(" "));
    lblPicSize->clear();
    LogoShown = true;
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
