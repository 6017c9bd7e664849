#include "settings/private_profile.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace profile {
namespace {

using Lines = QList<QByteArray>;

bool sameName(const QByteArray& a, const QByteArray& b) { return qstricmp(a.constData(), b.constData()) == 0; }

std::optional<QByteArray> sectionOf(const QByteArray& line) {
    const QByteArray text = line.trimmed();
    const qsizetype close = text.indexOf(']');
    if (!text.startsWith('[') || close < 0) return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

std::optional<QByteArray> keyOf(const QByteArray& line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || sectionOf(line)) return std::nullopt;
    return line.left(equals).trimmed();
}

QByteArray valueOf(const QByteArray& line) { return line.mid(line.indexOf('=') + 1).trimmed(); }

// The file's lines; nothing when it exists but cannot be read, so that a
// write never replaces a file it could not read.
std::optional<Lines> readLines(const QString& file) {
    QFile in(file);
    if (!in.exists()) return Lines();
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    Lines lines = in.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

bool writeLines(const Lines& lines, const QString& file) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    for (const QByteArray& line : lines)
        if (out.write(line + '\n') != line.size() + 1) return false;
    return out.commit();
}

// Index of the header of the first section called `section`, or -1.
qsizetype findSection(const Lines& lines, const QByteArray& section) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (auto name = sectionOf(lines[i]); name && sameName(*name, section)) return i;
    return -1;
}

// One past the last line of the section whose header is at `header`.
qsizetype sectionEnd(const Lines& lines, qsizetype header) {
    qsizetype end = header + 1;
    while (end < lines.size() && !sectionOf(lines[end])) ++end;
    return end;
}

qsizetype findKey(const Lines& lines, qsizetype header, const QByteArray& key) {
    for (qsizetype i = header + 1; i < sectionEnd(lines, header); ++i)
        if (auto name = keyOf(lines[i]); name && sameName(*name, key)) return i;
    return -1;
}

QByteArray fitValue(const QByteArray& value, int bufferSize) {
    return bufferSize <= 0 ? QByteArray() : value.left(bufferSize - 1);
}

// A list of names, each followed by a NUL; the buffer also holds the NUL
// that ends the list, or, when too small, two NULs after the cut name.
QByteArray fitList(const QList<QByteArray>& names, int bufferSize) {
    QByteArray list;
    for (const QByteArray& name : names) list += name + '\0';
    if (list.size() + 1 <= bufferSize) return list;
    return bufferSize < 2 ? QByteArray() : list.left(bufferSize - 2);
}

bool breaksLines(const QByteArray& text) { return text.contains('\n') || text.contains('\r'); }

bool validNames(const QByteArray& section, const std::optional<QByteArray>& key,
                const std::optional<QByteArray>& text) {
    if (section.trimmed().isEmpty() || breaksLines(section) || section.contains(']')) return false;
    if (key && (key->trimmed().isEmpty() || breaksLines(*key) || key->contains('=') ||
                key->trimmed().startsWith('[')))
        return false;
    return !(text && breaksLines(*text));
}

bool deleteSection(Lines& lines, const QByteArray& section) {
    bool found = false;
    for (qsizetype header = findSection(lines, section); header >= 0; header = findSection(lines, section)) {
        lines.remove(header, sectionEnd(lines, header) - header);
        found = true;
    }
    return found;
}

bool deleteKey(Lines& lines, const QByteArray& section, const QByteArray& key) {
    const qsizetype header = findSection(lines, section);
    const qsizetype line = header < 0 ? -1 : findKey(lines, header, key);
    if (line >= 0) lines.removeAt(line);
    return line >= 0;
}

void setKey(Lines& lines, const QByteArray& section, const QByteArray& key, const QByteArray& text) {
    const qsizetype header = findSection(lines, section);
    if (header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QByteArray());
        lines.append('[' + section + ']');
        lines.append(key + '=' + text);
        return;
    }
    if (const qsizetype line = findKey(lines, header, key); line >= 0) {
        lines[line] = lines[line].left(lines[line].indexOf('=')).trimmed() + '=' + text;
        return;
    }
    qsizetype insertAt = sectionEnd(lines, header);
    while (insertAt > header + 1 && lines[insertAt - 1].trimmed().isEmpty()) --insertAt;
    lines.insert(insertAt, key + '=' + text);
}

} // namespace

QByteArray GetPrivateProfileString(const std::optional<QByteArray>& section, const std::optional<QByteArray>& key,
                                   const QByteArray& fallback, int bufferSize, const QString& file) {
    const Lines lines = readLines(file).value_or(Lines());
    if (!section) {
        QList<QByteArray> names;
        for (const QByteArray& line : lines)
            if (auto name = sectionOf(line)) names.append(*name);
        return names.isEmpty() ? fitValue(fallback, bufferSize) : fitList(names, bufferSize);
    }
    const qsizetype header = findSection(lines, *section);
    if (header < 0) return fitValue(fallback, bufferSize);
    if (!key) {
        QList<QByteArray> names;
        for (qsizetype i = header + 1; i < sectionEnd(lines, header); ++i)
            if (auto name = keyOf(lines[i])) names.append(*name);
        return fitList(names, bufferSize);
    }
    const qsizetype line = findKey(lines, header, *key);
    return fitValue(line < 0 ? fallback : valueOf(lines[line]), bufferSize);
}

bool WritePrivateProfileString(const QByteArray& section, const std::optional<QByteArray>& key,
                               const std::optional<QByteArray>& text, const QString& file) {
    if (!validNames(section, key, text)) return false;
    std::optional<Lines> lines = readLines(file);
    if (!lines) return false;
    if (!key) return !deleteSection(*lines, section) || writeLines(*lines, file);
    if (!text) return !deleteKey(*lines, section, *key) || writeLines(*lines, file);
    setKey(*lines, section, key->trimmed(), *text);
    return writeLines(*lines, file);
}

} // namespace profile
