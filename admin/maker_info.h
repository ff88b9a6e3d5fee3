#pragma once

// Values set by whoever distributes the program: the installed version, the
// address the update information comes from, and the maker's details shown by
// the about window and quoted in the update messages. All texts are UTF-8.
namespace wirtello::maker {

// At most 10 characters; the main window shows it after "v ".
inline constexpr char kInstalledVersion[] = "1.19";

inline constexpr char kUpdateUrl[] = "https://wirtello.example.pl/aktualizacje/27.txt";

inline constexpr char kName[] = "Wirtello Sp. z o.o.";
inline constexpr char kStreet[] = "ul. Przykładowa 12/4";
inline constexpr char kPostalCodeAndTown[] = "00-950 Warszawa";
inline constexpr char kTelephone[] = "tel. +48 22 000 00 00";
inline constexpr char kWebAddress[] = "https://wirtello.example.pl";
inline constexpr char kEmail[] = "kontakt@wirtello.example.pl";

} // namespace wirtello::maker
