#include "settings/ini_file.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <limits>

#include "settings/private_profile.h"

namespace {

constexpr int kValueBuffer = 255;
constexpr int kListBuffer = 8192;

QByteArray eightBit(const QString& text) { return text.toUtf8(); }

QString fromEightBit(const QByteArray& text) { return QString::fromUtf8(text); }

// The pieces of `list` that end in a NUL.
QStringList piecesOf(const QString& list, bool skipEmpty) {
    QStringList pieces = list.split(QChar(0));
    pieces.removeLast();
    if (skipEmpty) pieces.removeAll(QString());
    return pieces;
}

} // namespace

QString cInifile::Value() const {
    return fromEightBit(profile::GetPrivateProfileString(eightBit(section_), eightBit(key_), eightBit(default_),
                                                         kValueBuffer, path_));
}

void cInifile::setValue(const QString& text) {
    QString clean = text;
    clean.remove(QChar(0));
    lastReturnCode_ = profile::WritePrivateProfileString(eightBit(section_), eightBit(key_), eightBit(clean), path_);
}

void cInifile::DeleteKey() {
    lastReturnCode_ = profile::WritePrivateProfileString(eightBit(section_), eightBit(key_), std::nullopt, path_);
}

void cInifile::DeleteSection() {
    lastReturnCode_ = profile::WritePrivateProfileString(eightBit(section_), std::nullopt, std::nullopt, path_);
}

QString cInifile::INISection() const {
    return fromEightBit(
        profile::GetPrivateProfileString(eightBit(section_), std::nullopt, eightBit(default_), kListBuffer, path_));
}

void cInifile::setINISection(const QString& text) {
    lastReturnCode_ = profile::WritePrivateProfileString(eightBit(section_), std::nullopt, eightBit(text), path_);
}

QString cInifile::Sections() const {
    return fromEightBit(
        profile::GetPrivateProfileString(std::nullopt, std::nullopt, eightBit(default_), kListBuffer, path_));
}

void cInifile::EnumerateCurrentSection(QStringList& names, int32_t& count) const {
    names = piecesOf(INISection(), false);
    count = static_cast<int32_t>(names.size());
}

void cInifile::EnumerateAllSections(QStringList& names, int32_t& count) const {
    names = piecesOf(Sections(), true);
    count = static_cast<int32_t>(names.size());
}

void cInifile::writeKey(const QString& name, const QString& text) {
    key_ = name;
    setValue(text);
}

void cInifile::SaveFormPosition(QWidget& window) {
    const QString remembered = key_;
    if (!window.isMinimized()) {
        writeKey(QStringLiteral("Maximised"), window.isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
        if (!window.isMaximized()) {
            const QRect r = window.geometry();
            for (const auto& [name, value] : {std::pair{"Left", r.x()}, {"Top", r.y()},
                                              {"Width", r.width()}, {"Height", r.height()}})
                writeKey(QLatin1String(name), QString::number(value));
        }
    }
    key_ = remembered;
}

namespace {

// Keeps [start, start + length) inside [0, screen) with a margin `m`.
void fitSpan(int& start, int& length, int screen, int m) {
    if (start < m) start = m;
    if (start + length > screen - m) {
        start = screen - m - length;
        if (start < m) start = m;
        if (start + length > screen - m) length = screen - start - m;
    }
}

} // namespace

void cInifile::LoadFormPosition(QWidget& window, int minimumWidth, int minimumHeight) {
    const QString rememberedKey = key_;
    const QString rememberedDefault = default_;
    default_ = QStringLiteral("FAIL");
    const QRect current = window.geometry();
    auto read = [this](const char* name, int fallback) {
        key_ = QLatin1String(name);
        return CLngDefault(Value(), fallback);
    };
    int left = read("Left", current.x());
    int top = read("Top", current.y());
    int width = std::max(read("Width", current.width()), minimumWidth);
    int height = std::max(read("Height", current.height()), minimumHeight);
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(width, height);
    constexpr int kMargin = 4;
    fitSpan(left, width, area.width(), kMargin);
    fitSpan(top, height, area.height(), kMargin);
    if (width >= minimumWidth && height >= minimumHeight) window.setGeometry(left, top, width, height);
    if (read("Maximised", 0) != 0) window.showMaximized();
    key_ = rememberedKey;
    default_ = rememberedDefault;
}

int32_t cInifile::CLngDefault(const QString& text, int32_t fallback) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number)) return fallback;
    const double rounded = std::nearbyint(number);  // default rounding mode: halves to even
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max())
        return fallback;
    return static_cast<int32_t>(rounded);
}
