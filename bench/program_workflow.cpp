// The desktop program's own costs, under the offscreen platform: a switch
// to a depth whose preview exists (click to repaint), the import of a
// 480 x 480 JPEG at 8-bit diffused (file dialog's OK to the shown preview),
// the import of a 4000 x 3000 JPEG up to where the resize dialog opens, and
// Create Backimage with compression against the two library builds alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include "imaging/build_pdb.h"
#include "platform/user_dialogs.h"
#include "program/library_binding.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"

namespace {

namespace im = mireo::imaging;

// Answers every file dialog with `answer` and every message box with OK.
class Answers final : public Dialogs {
public:
    QString answer;
    int messages = 0;
    void message(const QString&, const QString&, MessageIcon) override { ++messages; }
    std::optional<QString> openFile(const FileDialogSetup&) override { return answer; }
    std::optional<QString> saveFile(const FileDialogSetup&) override { return answer; }
};

// A photo-like picture: smooth gradients with a fine grain.
QImage photo(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            picture.setPixel(x, y, qRgb(std::clamp(x * 255 / width + grain, 0, 255),
                                        std::clamp(y * 255 / height + grain, 0, 255),
                                        std::clamp((x + y) * 127 / (width + height) + 64 + grain, 0, 255)));
        }
    return picture;
}

struct Program {
    QTemporaryDir folder;
    Answers dialogs;
    SharedState shared;
    std::unique_ptr<MDImain> main;
    QString small = folder.filePath(QStringLiteral("photo480.jpg"));
    QString large = folder.filePath(QStringLiteral("photo4000.jpg"));

    Program() {
        SetDialogs(&dialogs);
        photo(480, 480).save(small, nullptr, 90);
        photo(4000, 3000).save(large, nullptr, 90);
        StartupOptions options;
        options.programFolder = folder.path();
        options.screenBits = 24;
        main = std::make_unique<MDImain>(shared, options);
        button("opt8Bit")->click();
        button("optDithered")->click();
    }
    QToolButton* button(const char* name) const { return main->findChild<QToolButton*>(QLatin1String(name)); }
    void load(const QString& file) {
        dialogs.answer = file;
        button("cmdLoadPic")->click();
        main->form1().picMain->repaint();
    }
};

// Kept to the end of the process: the windows must not outlive QApplication.
Program& program() {
    static Program* p = new Program;
    return *p;
}

void BM_SwitchToCachedDepth(benchmark::State& state) {
    Program& p = program();
    p.load(p.small);
    p.button("opt16Bit")->click();  // both previews now exist
    bool eight = false;
    for (auto _ : state) {
        p.button(eight ? "opt8Bit" : "opt16Bit")->click();
        p.main->form1().picMain->repaint();
        eight = !eight;
    }
}

void BM_Import480JpegAt8BitDiffused(benchmark::State& state) {
    Program& p = program();
    p.button("opt8Bit")->click();
    for (auto _ : state) p.load(p.small);
}

void BM_Import4000JpegToTheResizeStep(benchmark::State& state) {
    Program& p = program();
    for (auto _ : state) {
        p.load(p.large);
        p.main->EnableControls();  // the resize dialog would give them back
    }
}

void BM_CreateBackimageCompressed(benchmark::State& state) {
    Program& p = program();
    p.button("opt8Bit")->click();
    p.load(p.small);
    p.shared.UseCompression = true;
    p.dialogs.answer = p.folder.filePath(QStringLiteral("out.pdb"));
    for (auto _ : state) p.main->cmdCreatePDB_Click();
}

// The baseline of the one above: the library's two builds of the same preview.
void BM_TwoCompilePdbCalls(benchmark::State& state) {
    Program& p = program();
    p.button("opt8Bit")->click();
    p.load(p.small);
    const im::PdbRequest request{p.folder.filePath(QStringLiteral("temp/temp8d.bmp")).toStdString(),
                                 {480, 480}, 8, "Bench", true, 51200, 30720};
    const std::string out = p.folder.filePath(QStringLiteral("direct.pdb")).toStdString();
    for (auto _ : state)
        for (int32_t block : {request.block2, request.block1})
            benchmark::DoNotOptimize(im::compilePdb(mireocore::BoundLibrary(), request, out, block,
                                                    p.shared.Grey16Palette, p.shared.Palm8Palette));
}

BENCHMARK(BM_SwitchToCachedDepth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import480JpegAt8BitDiffused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import4000JpegToTheResizeStep)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CreateBackimageCompressed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoCompilePdbCalls)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
