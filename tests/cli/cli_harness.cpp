#include "cli_harness.h"

#include <QCoreApplication>
#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>
#include <stdexcept>

namespace mireo::test {

CliResult runCli(const QStringList& args, const std::map<QString, QString>& env) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("SOURCE_DATE_EPOCH");
    for (const auto& [name, value] : env) {
        if (value.isEmpty()) environment.remove(name);
        else environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MIREO_CLI), args);
    if (!process.waitForFinished(120000)) throw std::runtime_error("mireo-cli did not finish");
    CliResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

QImage quadrants(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            picture.setPixelColor(x, y, bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed));
        }
    return picture;
}

std::string savePicture(const QImage& picture, const std::string& path) {
    if (!picture.save(QString::fromStdString(path), nullptr, 95)) throw std::runtime_error("cannot save " + path);
    return path;
}

}  // namespace mireo::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
