#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>

#include "image/image_file.h"
#include "platform/atomic_file.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

Failure<ImageFault> ReadError(const fs::path& path, ImageFault cause, const std::string& reason) {
    return {cause, "Cannot read the image '" + path.string() + "': " + reason + "."};
}

Failure<ImageFault> SaveError(const fs::path& path, const std::string& reason) {
    return {ImageFault::CannotSave,
            "Cannot save the image '" + path.string() + "': " + reason + "."};
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

ImageFileResult LoadImageFile(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        return ReadError(path, ImageFault::NoSuchFile, "there is no such file");
    }
    if (ec) {
        return ReadError(path, ImageFault::Unreadable, ec.message());
    }
    if (st.type() == fs::file_type::directory) {
        return ReadError(path, ImageFault::NotAFile, "it is a folder");
    }
    // A FIFO or a device could block or never end.
    if (st.type() != fs::file_type::regular) {
        return ReadError(path, ImageFault::NotAFile, "it is not a regular file");
    }
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.string().c_str(), "rb"));
    if (!f) {
        return ReadError(path, ImageFault::Unreadable, std::generic_category().message(errno));
    }
    // One byte more than a whole file, so that a longer one is refused for its size.
    Bytes bytes(EepromImageFile::kFileSize + 1);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
    if (std::ferror(f.get()) != 0) {
        return ReadError(path, ImageFault::Unreadable, "it cannot be read");
    }
    if (bytes.size() > EepromImageFile::kFileSize) {
        const std::uintmax_t size = fs::file_size(path, ec);
        return ReadError(path, ImageFault::WrongSize,
                         ImageFileSizeReason(ec ? bytes.size() : size));
    }
    ImageFileResult result = DecodeImageFile(bytes);
    if (!result) {
        return ReadError(path, result.cause(), result.text());
    }
    return result;
}

ImageStatus SaveImageFile(const fs::path& path, const Bytes& image, const ImageOrigin& origin) {
    if (image.size() != EepromImageFile::kImageSize) {
        return SaveError(path, "the image holds " + std::to_string(image.size()) + " bytes, not " +
                                   std::to_string(EepromImageFile::kImageSize));
    }
    const Bytes bytes = EncodeImageFile(image, origin);
    const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (const std::error_code ec = WriteFileAtomically(path, data)) {
        return SaveError(path, ec.message());
    }
    return Done{};
}

}  // namespace quorvane
