#pragma once
// The device files beside the settings file: GBK text, CRLF line ends,
// records of MAC text, "+", name.

namespace lumora {

inline constexpr char kBlackListPath[] = "c:\\wifiblack.txt";
inline constexpr char kWhiteListPath[] = "c:\\wifiwhite.txt";
inline constexpr char kNameBookPath[] = "c:\\wifiname.txt";

}  // namespace lumora
