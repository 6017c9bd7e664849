// The settings class: one INI file, a current section, key and default,
// and the result of the last write.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

class cInifile {
public:
    int32_t LastReturnCode() const { return lastReturnCode_; }
    // True when the last write succeeded; reads never change it.
    bool Success() const { return lastReturnCode_ != 0; }

    QString Default() const { return default_; }
    void setDefault(const QString& text) { default_ = text; }
    QString path() const { return path_; }
    void setPath(const QString& file) { path_ = file; }
    QString key() const { return key_; }
    void setKey(const QString& name) { key_ = name; }
    QString Section() const { return section_; }
    void setSection(const QString& name) { section_ = name; }

    // The value of Section/key, or Default; at most 254 characters.
    QString Value() const;
    // Stores `text` without its NUL characters.
    void setValue(const QString& text);
    void DeleteKey();
    void DeleteSection();

    // The key names of Section, each followed by a NUL (8192-character buffer).
    QString INISection() const;
    // Hands `text` to the profile layer as a whole section's content.
    void setINISection(const QString& text);
    // Every section name, each followed by a NUL (8192-character buffer).
    QString Sections() const;

    void EnumerateCurrentSection(QStringList& names, int32_t& count) const;
    void EnumerateAllSections(QStringList& names, int32_t& count) const;

    // Window position and size under the keys "Maximised", "Left", "Top",
    // "Width" and "Height" of Section, in pixels.
    void SaveFormPosition(QWidget& window);
    void LoadFormPosition(QWidget& window, int minimumWidth = 0, int minimumHeight = 0);

    // `text` as a 32-bit integer (rounded half to even), or `fallback`
    // when it is not a number or out of range.
    static int32_t CLngDefault(const QString& text, int32_t fallback = 0);

private:
    void writeKey(const QString& name, const QString& text);

    QString path_;
    QString key_;
    QString section_;
    QString default_;
    int32_t lastReturnCode_ = 0;
};
