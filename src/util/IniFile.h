#pragma once

#include <QByteArray>
#include <string>
#include <vector>

#include "AtomicFile.h"

// An INI file read and written by the rules of Windows private profiles: section and key
// names match whatever their letter case, a value loses the blanks around it and one pair of
// enclosing quotes, and is cut at 2047 bytes. Writing touches only the one key line; every
// other line of the file keeps its bytes.
class IniFile {
  public:
    static constexpr size_t kMaxValue = 2047;

    // Reads the file at `path`; a file that does not exist reads as empty.
    explicit IniFile(std::string path);
    // The file at `path` as if it held `data`.
    static IniFile FromBytes(std::string path, const QByteArray& data);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;

    // Sets the key in memory, adding the section or the key when missing.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Writes the whole file to a temporary file beside it and renames it over the old one.
    // Throws std::runtime_error "Unable to write to <path>" when the system refuses.
    void Save(AtomicFile::Access access = AtomicFile::Access::Usual) const;

  private:
    IniFile() = default;
    void Parse(const QByteArray& data);

    struct Line {
        std::string text;
        std::string end;  // the line break as found: "\r\n", "\n" or none at the end
    };

    // Index of the section's header line, or -1.
    long FindSection(const std::string& section) const;
    // Index of the key's line within the section starting at `header`, or -1.
    long FindKey(long header, const std::string& key) const;
    // One past the last line of the section starting at `header`.
    size_t SectionEnd(long header) const;
    void Insert(size_t at, std::string text);

    std::string path_;
    std::vector<Line> lines_;
};
