#pragma once

#include <cctype>
#include <map>
#include <string>
#include <tuple>

#include "platform/profile_file.h"

namespace quorvane::test {

// An in-memory profile seam: values by file, section and key (names without regard to case),
// returned exactly as stored, so tests can hand the reader raw text such as trailing blanks.
class FakeProfileFile final : public IProfileFile {
  public:
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, std::size_t bufferSize,
                                 const std::string& file) override {
        ++reads;
        lastFile = file;
        const auto it = values_.find(Key(file, section, key));
        const std::string& value = it == values_.end() ? defaultValue : it->second;
        return bufferSize == 0 ? std::string() : value.substr(0, bufferSize - 1);
    }

    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& file) override {
        ++writes;
        lastFile = file;
        if (failWrites) {
            return false;
        }
        values_[Key(file, section, key)] = value;
        return true;
    }

    std::string WriteFailure() const override { return failWrites ? failReason : std::string(); }

    void Set(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) {
        values_[Key(file, section, key)] = value;
    }
    bool Has(const std::string& file, const std::string& section, const std::string& key) const {
        return values_.count(Key(file, section, key)) != 0;
    }
    std::string Get(const std::string& file, const std::string& section,
                    const std::string& key) const {
        const auto it = values_.find(Key(file, section, key));
        return it == values_.end() ? std::string() : it->second;
    }

    bool failWrites = false;
    std::string failReason;
    int reads = 0;
    int writes = 0;
    std::string lastFile;

  private:
    static std::string Lower(std::string s) {
        for (char& c : s) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return s;
    }
    static std::tuple<std::string, std::string, std::string> Key(const std::string& file,
                                                                 const std::string& section,
                                                                 const std::string& key) {
        return {file, Lower(section), Lower(key)};
    }

    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace quorvane::test
