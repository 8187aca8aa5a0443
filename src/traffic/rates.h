#pragma once
// Upload and download rates of the hosted adapter, as the floating bar shows
// them: bytes moved between two samples a second apart, in KB/S up to 999 KB
// and in MB/S beyond.
#include <cstdint>
#include <optional>
#include <string>

#include "traffic/counters.h"

namespace lumora {

struct RateTexts {
  std::string download;  // from OutOctets
  std::string upload;    // from InOctets
  friend bool operator==(const RateTexts& a, const RateTexts& b) {
    return a.download == b.download && a.upload == b.upload;
  }
};

// The text for `bytes` moved in one second: "0.0KB/S" ... "999.0KB/S", then
// "0.98MB/S" and up. Whole kilobytes only; a negative figure reads as 0.
std::string RateText(std::int64_t bytes);

inline constexpr char kZeroRate[] = "0.0KB/S";

// The rate state of the whole run. Samples are taken to be one second apart;
// the clock only tells a sample that continues a run from one that starts a
// new run after a pause.
class RateSampler {
 public:
  // A sample older than this (in milliseconds) belongs to an earlier run.
  static constexpr std::int64_t kStaleAfterMs = 2500;

  // The texts for a new sample of the named connection taken at `now_ms`;
  // `counters` is nothing when the query failed. Shows "0.0KB/S" instead of
  // a figure whenever the difference would not cover one second of traffic
  // of the same interface: on the first sample of a run, after a failed
  // query, after the name changed, and in a direction whose counter went
  // down (the adapter was re-created). Such a sample is the next one's base.
  RateTexts Next(const std::string& connection_name,
                 const std::optional<InterfaceCounters>& counters, std::int64_t now_ms);

  // The next sample starts a new run.
  void Restart() { has_base_ = false; }

 private:
  // PrevIn/PrevOut and CurIn/CurOut of the run.
  std::uint64_t prev_in_ = 0, prev_out_ = 0, cur_in_ = 0, cur_out_ = 0;
  bool has_base_ = false;
  std::string name_;
  std::int64_t taken_ms_ = 0;
};

}  // namespace lumora
