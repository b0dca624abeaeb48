#include "image/settings_file.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "core/atomic_file.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "image/ascii_text.h"
#include "image/file_bytes.h"
#include "image/header_card.h"

namespace talvor {
namespace {

// Thrown by a read past the end of the file.
struct FileEnded {};

// Reads the fields of the file one after another.
class FieldReader {
  public:
    explicit FieldReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    uint8_t Byte() {
        if (at_ + 1 > bytes_.size()) {
            throw FileEnded{};
        }
        return bytes_[at_++];
    }
    int16_t Int16() {
        if (at_ + 2 > bytes_.size()) {
            throw FileEnded{};
        }
        const auto value = static_cast<int16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    double Double() {
        if (at_ + 8 > bytes_.size()) {
            throw FileEnded{};
        }
        double value = 0;
        std::memcpy(&value, &bytes_[at_], 8);
        at_ += 8;
        return value;
    }
    HeaderCard Card() {
        if (at_ + kCardLength > bytes_.size()) {
            throw FileEnded{};
        }
        HeaderCard card;
        std::memcpy(card.data(), &bytes_[at_], kCardLength);
        at_ += kCardLength;
        return card;
    }

  private:
    std::vector<uint8_t> bytes_;
    std::size_t at_ = 0;
};

class FieldWriter {
  public:
    void Byte(char value) { bytes.push_back(static_cast<uint8_t>(value)); }
    void Int16(int value) {
        bytes.push_back(static_cast<uint8_t>(value & 0xff));
        bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
    }
    void Double(double value) {
        uint8_t raw[8];
        std::memcpy(raw, &value, 8);
        bytes.insert(bytes.end(), raw, raw + 8);
    }
    void Card(const HeaderCard& card) { bytes.insert(bytes.end(), card.begin(), card.end()); }
    std::vector<uint8_t> bytes;
};

char YesNo(bool flag) {
    return flag ? 'y' : 'n';
}
char Digit(bool flag) {
    return flag ? '1' : '0';
}

constexpr int kLargestBacklash = 20;

bool ValidBacklash(int value) {
    return value >= 0 && value <= kLargestBacklash;
}
// The radii the Program Defaults offer. Another value, from a damaged file, is not taken over:
// the star searches size their masks and margins by it, and a wild one reads outside the frame.
bool IsMaskRadius(int value) {
    return value == 7 || value == 8 || value == 9 || value == 11 || value == 13 || value == 15;
}
bool IsDigitFlag(uint8_t value) {
    return value == '1' || value == '0';
}
bool IsTelescopeLetter(uint8_t value) {
    return value == 'l' || value == 'n' || value == 'b';
}
bool IsEastWestLetter(uint8_t value) {
    return value == 'e' || value == 'w';
}

// Only the known fields are read; whatever a longer file holds beyond them is ignored. A settings
// name that is not a readable regular file (a FIFO would block the start-up) reads as missing.
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& file, bool& opened) {
    auto bytes = ReadFileBytes(file, kSettingsFileSize);
    opened = bytes.has_value();
    return bytes ? std::move(*bytes) : std::vector<uint8_t>{};
}

// Reads the fields in order, storing each value as it comes. A value out of its range is
// clamped and a letter that names nothing keeps the value held before; either marks the file
// for rewriting, and reading goes on, so every valid field after it is still taken. Returns
// whether the file needs that rewrite; throws FileEnded when the file ends early.
bool ReadFields(FieldReader& in, Session& session) {
    ProgramSettings& s = session.settings;
    FitsDetails& fits = s.Fits;
    bool needsRepair = false;
    const auto counter = in.Int16();
    s.QuickSaveCounter = static_cast<uint16_t>(counter);
    const auto utOffset = in.Int16();
    s.UtOffsetHours = utOffset;
    const auto fastPar = in.Byte();
    if (fastPar == 'y' || fastPar == 'n') {
        s.FastPar = fastPar == 'y';
    } else {
        session.ui.ShowErrorBox("TALVOR", "Failed to read fast_par value");
    }
    const auto modeA = in.Int16();
    s.ReservedModeA = modeA;
    const auto radius = in.Int16();
    if (IsMaskRadius(radius)) {
        s.GuideStarMaskRadius = radius;
    }
    const auto modeB = in.Int16();
    s.ReservedModeB = modeB;
    const auto port = in.Int16();
    s.Port = port == 1 ? CommPort::Com1 : CommPort::Com2;
    const auto training = in.Int16();
    s.GuideTrainingSeconds = training;
    const auto background = in.Byte();
    s.Background = background == 'l'   ? WindowBackground::LightGrey
                   : background == 'g' ? WindowBackground::Grey
                                       : WindowBackground::Red;
    const auto focusDelay = in.Byte();
    s.FocusDelayOneSecond = focusDelay == '1';
    const auto raRate = in.Int16();
    s.RaPixelsPerSecond = raRate;
    const auto decRate = in.Int16();
    s.DecPixelsPerSecond = decRate;
    for (int* backlash : {&s.RaBacklash, &s.DecBacklash}) {
        const int value = in.Int16();
        needsRepair |= !ValidBacklash(value);
        *backlash = std::clamp(value, 0, kLargestBacklash);
    }
    const auto ignoreDrift = in.Byte();
    if (IsDigitFlag(ignoreDrift)) {
        s.IgnoreDriftBelowOnePixel = ignoreDrift == '1';
    } else {
        needsRepair = true;
    }
    const auto telescope = in.Byte();
    if (IsTelescopeLetter(telescope)) {
        s.Telescope = static_cast<TelescopeType>(telescope);
    } else {
        needsRepair = true;
    }
    const auto interrupts = in.Byte();
    if (IsDigitFlag(interrupts)) {
        s.DisableInterruptsDuringDownload = interrupts == '1';
    } else {
        needsRepair = true;
    }
    const auto raHysteresis = in.Int16();
    s.RaHysteresis = raHysteresis;
    const auto decHysteresis = in.Int16();
    s.DecHysteresis = decHysteresis;
    const auto north = in.Byte();
    const auto south = in.Byte();
    const auto east = in.Byte();
    const auto west = in.Byte();
    if (IsEastWestLetter(east) || IsEastWestLetter(west)) {
        s.NorthLetter = static_cast<char>(north);
        s.SouthLetter = static_cast<char>(south);
        s.EastLetter = static_cast<char>(east);
        s.WestLetter = static_cast<char>(west);
    } else {
        needsRepair = true;
    }

    std::string* texts[] = {&fits.object, &fits.telescope, &fits.instrument, &fits.observer,
                            &fits.origin};
    for (std::string* text : texts) {
        const auto card = in.Card();
        *text = AsciiText(CardText(card));
    }
    for (std::string* paragraph : {&fits.history, &fits.comment}) {
        std::array<HeaderCard, kParagraphCards> cards;
        for (HeaderCard& card : cards) {
            card = in.Card();
        }
        *paragraph = AsciiText(ParagraphText(cards));
    }
    const auto filter = in.Card();
    fits.filter = AsciiText(CardText(filter));
    const auto aperture = in.Double();
    fits.apertureSquareInches = aperture;
    const auto focalLength = in.Double();
    fits.focalLengthInches = focalLength;
    bool* flags[] = {&s.UnsignedFits, &s.ReservedFlagC, &s.BeepAfterExposure,
                     &s.DirectionChangeDelay70Ms, &s.ControlBoxFound};
    for (bool* flag : flags) {
        const auto value = in.Byte();
        *flag = value == 'y';
    }
    const auto subDirectory = in.Card();
    std::string name;
    for (const char c : subDirectory) {
        if (c == '\0' || c == '\'') {
            break;
        }
        name += c;
    }
    name = name.substr(0, kSubDirectoryLength);
    // A name that is not one folder (an older version took "a/b") would make every quick save
    // fail: the auto-save folder itself is used instead.
    s.AutoSaveSubDirectory = IsSubDirectoryName(name) ? name : std::string();
    const auto longDelay = in.Byte();
    s.ControlBoxLongDelay = longDelay == 'y';
    const auto debug = in.Byte();
    s.DebugMode = debug == 'y';
    return needsRepair;
}

std::vector<uint8_t> EncodeSettings(const Session& session) {
    const ProgramSettings& s = session.settings;
    const FitsDetails& fits = s.Fits;
    FieldWriter out;
    out.Int16(s.QuickSaveCounter);
    out.Int16(s.UtOffsetHours);
    out.Byte(YesNo(s.FastPar));
    out.Int16(s.ReservedModeA);
    out.Int16(s.GuideStarMaskRadius);
    out.Int16(s.ReservedModeB);
    out.Int16(s.Port == CommPort::Com1 ? 1 : 2);
    out.Int16(s.GuideTrainingSeconds);
    out.Byte(static_cast<char>(s.Background));
    out.Byte(Digit(s.FocusDelayOneSecond));
    out.Int16(s.RaPixelsPerSecond);
    out.Int16(s.DecPixelsPerSecond);
    out.Int16(s.RaBacklash);
    out.Int16(s.DecBacklash);
    out.Byte(Digit(s.IgnoreDriftBelowOnePixel));
    out.Byte(static_cast<char>(s.Telescope));
    out.Byte(Digit(s.DisableInterruptsDuringDownload));
    out.Int16(s.RaHysteresis);
    out.Int16(s.DecHysteresis);
    out.Byte(s.NorthLetter);
    out.Byte(s.SouthLetter);
    out.Byte(s.EastLetter);
    out.Byte(s.WestLetter);
    out.Card(TextCard("OBJECT  = '", fits.object));
    out.Card(TextCard("TELESCOP= '", fits.telescope));
    out.Card(TextCard("INSTRUME= '", fits.instrument));
    out.Card(TextCard("OBSERVER= '", fits.observer));
    out.Card(TextCard("ORIGIN  = '", fits.origin));
    for (const HeaderCard& card : ParagraphCards("HISTORY = '", fits.history)) {
        out.Card(card);
    }
    for (const HeaderCard& card : ParagraphCards("COMMENT = '", fits.comment)) {
        out.Card(card);
    }
    out.Card(TextCard("FILTER  = '", fits.filter));
    out.Double(fits.apertureSquareInches);
    out.Double(fits.focalLengthInches);
    out.Byte(YesNo(s.UnsignedFits));
    out.Byte(YesNo(s.ReservedFlagC));
    out.Byte(YesNo(s.BeepAfterExposure));
    out.Byte(YesNo(s.DirectionChangeDelay70Ms));
    out.Byte(YesNo(s.ControlBoxFound));
    HeaderCard subDirectory;
    subDirectory.fill(' ');
    const std::string name = s.AutoSaveSubDirectory.substr(0, kSubDirectoryLength);
    std::copy(name.begin(), name.end(), subDirectory.begin());
    subDirectory[name.size()] = '\0';
    out.Card(subDirectory);
    out.Byte(YesNo(s.ControlBoxLongDelay));
    out.Byte(YesNo(s.DebugMode));
    return out.bytes;
}

}  // namespace

std::string AutoSaveDirectory(const ProgramSettings& settings) {
    std::string directory = kAutoSaveRoot;
    if (!settings.AutoSaveSubDirectory.empty()) {
        directory += '\\';
        directory += settings.AutoSaveSubDirectory;
    }
    return directory;
}

SettingsResult ReadSettings(Session& session) {
    if (session.dataDirectory.CreateDirectory("c:\\autosave")) {
        return WriteSettings(session);
    }
    bool opened = false;
    std::vector<uint8_t> bytes =
        ReadWholeFile(session.dataDirectory.Resolve(kSettingsFileName), opened);
    if (!opened) {
        return SettingsResult::Unreadable;
    }
    switch (DecodeSettings(std::move(bytes), session)) {
        case SettingsDecoding::Complete:
            return SettingsResult::Done;
        case SettingsDecoding::NeedsRepair:
            return WriteSettings(session);
        case SettingsDecoding::EndedEarly:
            break;
    }
    return SettingsResult::Unreadable;
}

SettingsDecoding DecodeSettings(std::vector<uint8_t> bytes, Session& session) {
    FieldReader in(std::move(bytes));
    SettingsDecoding decoding = SettingsDecoding::Complete;
    try {
        decoding =
            ReadFields(in, session) ? SettingsDecoding::NeedsRepair : SettingsDecoding::Complete;
    } catch (const FileEnded&) {
        decoding = SettingsDecoding::EndedEarly;
    }
    FollowSettingsTexts(session.state, session.settings);
    return decoding;
}

bool IsSubDirectoryName(std::string_view name) {
    if (name == "." || name == "..") {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == '\'' || static_cast<unsigned char>(c) < 0x20;
    });
}

namespace {

// Where fields that are written on their own begin in the file.
constexpr std::size_t kQuickSaveCounterAt = 0;
constexpr std::size_t kDriveCalibrationAt = 17;  // RA and Dec rates, RA and Dec backlash

// Writes the values as consecutive 16-bit fields from `at` into the settings file as it is,
// every other byte kept; a file that is missing or too short is written whole from memory.
SettingsResult WriteInt16Fields(Session& session, std::size_t at,
                                std::initializer_list<int> values) {
    const std::filesystem::path file = session.dataDirectory.Resolve(kSettingsFileName);
    bool opened = false;
    std::vector<uint8_t> bytes = ReadWholeFile(file, opened);
    if (!opened || bytes.size() < kSettingsFileSize) {
        return WriteSettings(session);
    }
    for (const int value : values) {
        bytes[at++] = static_cast<uint8_t>(value & 0xff);
        bytes[at++] = static_cast<uint8_t>((value >> 8) & 0xff);
    }
    AtomicFile out(file);
    if (!out.Write(bytes.data(), bytes.size()) || !out.Commit()) {
        return SettingsResult::NotWritten;
    }
    return SettingsResult::Done;
}

}  // namespace

SettingsResult WriteQuickSaveCounter(Session& session) {
    return WriteInt16Fields(session, kQuickSaveCounterAt, {session.settings.QuickSaveCounter});
}

SettingsResult WriteDriveCalibration(Session& session) {
    const ProgramSettings& s = session.settings;
    return WriteInt16Fields(
        session, kDriveCalibrationAt,
        {s.RaPixelsPerSecond, s.DecPixelsPerSecond, s.RaBacklash, s.DecBacklash});
}

SettingsResult WriteSettings(Session& session) {
    session.dataDirectory.CreateDirectory("c:\\autosave");
    const std::vector<uint8_t> bytes = EncodeSettings(session);
    AtomicFile out(session.dataDirectory.Resolve(kSettingsFileName));
    if (!out.Write(bytes.data(), bytes.size()) || !out.Commit()) {
        return SettingsResult::NotWritten;
    }
    return SettingsResult::Done;
}

}  // namespace talvor
