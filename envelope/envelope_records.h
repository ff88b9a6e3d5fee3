#pragma once

#include "store/fixed_record.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace wirtello {

// The envelope window keeps its layout in four small record files below the
// data folder's "Admini" and lets the user keep named layouts as profiles.
// Every number in them is the text as typed; only the printout reads numbers.

// The texts of the envelope settings record (UTF-8).
struct EnvelopeSettings {
    std::array<std::string, 4> sender; // n1..n4
    std::array<std::string, 4> left;   // l1..l4: recipient block of each preset from the left
    std::array<std::string, 4> top;    // g1..g4: from the top
    std::string spacing;               // od
    std::string senderLeft;            // l_n
    std::string senderTop;             // g_n

    bool operator==(const EnvelopeSettings&) const = default;
};

// The texts of the logo settings record (UTF-8).
struct LogoSettings {
    std::string path; // nazwa: full path of the picture file
    std::string left; // l_log, picture pixels
    std::string top;  // g_log

    bool operator==(const LogoSettings&) const = default;
};

// The three bytes of the layout choice record, as stored.
struct LayoutChoice {
    std::uint8_t preset = 0;    // 1..4
    std::uint8_t logo = 0;      // 1: print the logo
    std::uint8_t landscape = 0; // 1: print landscape

    bool operator==(const LayoutChoice&) const = default;
};

// What the window's radio buttons and check boxes show.
struct LayoutTicks {
    int preset = 1; // 1..4, 0 when no radio button is ticked
    bool logo = false;
    bool landscape = false;

    bool operator==(const LayoutTicks&) const = default;
};

// Applies a stored choice: a known value ticks or unticks, any other value
// leaves that control as it was (a file the program did not write).
void applyLayoutChoice(const LayoutChoice& choice, LayoutTicks& ticks);

// The choice to store. With no radio button ticked the preset byte keeps its
// previous value.
LayoutChoice layoutChoiceOf(const LayoutTicks& ticks, const LayoutChoice& previous);

// "\Admini\dane_kop_1.dat": sender lines, presets, spacing and sender position.
class EnvelopeSettingsRecord : public FixedRecord<480> {
public:
    EnvelopeSettings settings() const;
    // Each text cut to its capacity; the bytes after it keep what they held.
    void setSettings(const EnvelopeSettings& settings);
};

// "\Admini\dane_kop_log_1.dat": the logo picture's path and position.
class LogoSettingsRecord : public FixedRecord<243> {
public:
    LogoSettings logo() const;
    void setLogo(const LogoSettings& logo);
};

// "\Admini\dane_kop_for.dat": the form of address (o1).
class FormaRecord : public FixedRecord<21> {
public:
    std::string forma() const;
    void setForma(std::string_view utf8);
};

// "\Admini\dane_kop_ori_1.dat": preset, logo flag, landscape flag.
class LayoutChoiceRecord : public FixedRecord<3> {
public:
    LayoutChoice choice() const;
    void setChoice(const LayoutChoice& choice);
};

// A ".pro" file: the settings, logo and layout choice records end to end.
class EnvelopeProfileRecord : public FixedRecord<726> {
public:
    EnvelopeSettings settings() const;
    void setSettings(const EnvelopeSettings& settings);
    LogoSettings logo() const;
    void setLogo(const LogoSettings& logo);
    LayoutChoice choice() const;
    void setChoice(const LayoutChoice& choice);
};

// The records written when a defaults file is missing.
EnvelopeSettingsRecord defaultEnvelopeSettings();

inline constexpr std::string_view kEnvelopeSettingsFile = "dane_kop_1.dat";
inline constexpr std::string_view kLogoSettingsFile = "dane_kop_log_1.dat";
inline constexpr std::string_view kFormaFile = "dane_kop_for.dat";
inline constexpr std::string_view kLayoutChoiceFile = "dane_kop_ori_1.dat";
inline constexpr std::string_view kProfileExtension = ".pro";

// Paths of the defaults files below a data folder; "Admini" in any letter case.
std::filesystem::path envelopeSettingsPath(const std::filesystem::path& dataFolder);
std::filesystem::path logoSettingsPath(const std::filesystem::path& dataFolder);
std::filesystem::path formaPath(const std::filesystem::path& dataFolder);
std::filesystem::path layoutChoicePath(const std::filesystem::path& dataFolder);
// The folder the profile dialogs start in.
std::filesystem::path profilesFolder(const std::filesystem::path& dataFolder);

// A profile name typed without an extension gets ".pro".
std::filesystem::path withProfileExtension(const std::filesystem::path& chosen);

} // namespace wirtello
