#include "app/image_policy.h"

#include <algorithm>
#include <vector>

#include "image/image_compare.h"
#include "image/utc_time.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

// As many differing addresses as a message box shows without scrolling.
constexpr std::size_t kDifferencesShown = 8;

Bytes Head(const Bytes& image, std::size_t end) {
    return Bytes(image.begin(),
                 image.begin() + static_cast<std::ptrdiff_t>(std::min(end, image.size())));
}

}  // namespace

RadioIdentity IdentityOfAnswer(const clsCmcVep3Sequence& sequence, Int32 endAddress) {
    return {sequence.ansModel(), sequence.ansSub(), sequence.ansRevision(),
            static_cast<std::uint16_t>(endAddress)};
}

std::string IdentityText(const RadioIdentity& identity) {
    return "model " + Hex4(identity.model) + ", sub " + Hex4(identity.sub) + ", revision " +
           Hex2(identity.revision);
}

std::string OriginText(const std::optional<ImageOrigin>& origin) {
    if (!origin) {
        return "origin unknown";
    }
    return IdentityText(origin->identity) + ", read " + UtcText(origin->readAt);
}

ImageBackupStore::Result ImagePolicy::KeepRead(const Bytes& image,
                                               const ImageOrigin& origin) const {
    if (backupFolder_.empty()) {
        return std::filesystem::path();
    }
    return ImageBackupStore(backupFolder_, writes_).Save(image, origin);
}

WriteCheck ImagePolicy::CheckWrite(const std::string& path, const RadioIdentity& radio) {
    ImageFileResult loaded = LoadImageFile(path);
    if (!loaded) {
        return loaded.failure();
    }
    return CheckWrite(path, std::move(*loaded), radio);
}

WriteCheck ImagePolicy::CheckWrite(const std::string& path, EepromImageFile file,
                                   const RadioIdentity& radio) {
    const std::optional<ImageOrigin>& origin = file.origin;
    if (origin && origin->identity.model != radio.model) {
        return Failure<ImageFault>{ImageFault::OtherModel,
                                   "Cannot write the image '" + path +
                                       "': it was read from model " + Hex4(origin->identity.model) +
                                       ", the transceiver is model " + Hex4(radio.model) + "."};
    }
    WriteQuestion check;
    check.unknownOrigin = !origin;
    check.otherSub = origin && origin->identity.sub != radio.sub;
    check.text = "Write the EEPROM image '" + std::filesystem::path(path).filename().string() +
                 "' to the transceiver?\n\nImage: " + OriginText(origin) +
                 "\nTransceiver: " + IdentityText(radio);
    if (check.unknownOrigin) {
        check.warning = "Nothing in the file says which transceiver it was read from.";
    } else if (check.otherSub) {
        check.warning = "The image was read from a transceiver with another sub identifier.";
    }
    if (!check.warning.empty()) {
        check.text += "\n\n" + check.warning;
    }
    check.image = std::move(file.image);
    return check;
}

ReadBackResult ImagePolicy::ReadBack(const Bytes& written, const Bytes& read, std::size_t end) {
    const std::vector<ByteDifference> differences =
        FirstByteDifferences(Head(written, end), Head(read, end), kDifferencesShown);
    if (differences.empty()) {
        return {true, "The EEPROM image was written and read back unchanged."};
    }
    std::string text = "The EEPROM image was written, but the transceiver holds other bytes at:";
    for (const ByteDifference& d : differences) {
        text += "\n" + Hex4(d.address) + ": image " + Hex2(d.a) + ", transceiver " + Hex2(d.b);
    }
    return {false, text};
}

std::string ImagePolicy::PartialWriteText(const std::string& fileName,
                                          const std::filesystem::path& backup) {
    std::string text = "The EEPROM image '" + fileName +
                       "' was not written to the end: the transceiver may hold a partly "
                       "written image.\n\n";
    text += backup.empty() ? "No backup holds what the transceiver held before the write."
                           : "The backup '" + backup.string() +
                                 "' holds what the transceiver held before the write.";
    return text + "\n\nConnect again and write the image once more.";
}

std::string ImagePolicy::NotReadBackText(const std::string& fileName) {
    return "The EEPROM image '" + fileName +
           "' was written to the transceiver, but could not be read back to be compared.\n\n"
           "Connect again to check it.";
}

}  // namespace quorvane
