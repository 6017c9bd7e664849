#include "cli_harness.h"

#include <QCoreApplication>
#include <QProcess>
#include <stdexcept>

namespace mireo::test {

CliResult runCli(const QStringList& args, const std::map<QString, QString>& env, const std::string& input) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("SOURCE_DATE_EPOCH");
    for (const auto& [name, value] : env) {
        if (value.isEmpty()) environment.remove(name);
        else environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MIREO_CLI), args);
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) throw std::runtime_error("mireo-cli did not finish");
    CliResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

::testing::AssertionResult holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

}  // namespace mireo::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
