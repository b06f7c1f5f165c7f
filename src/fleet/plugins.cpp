#include "fleet/plugins.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace vernatto::fleet {
namespace {

// Whether every install in `a` has its `member` among those of `b`.
template <typename Value>
bool within(Installs a, Installs b, Value PluginEntry::*member) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    bool found = false;
    for (std::size_t j = 0; j < b.size() && !found; ++j)
      found = a[i].*member == b[j].*member;
    if (!found)
      return false;
  }
  return true;
}

// Whether the installs' sets of `member` (versions, or times) are equal.
// Installs are few, so looking each one up in the other side costs less than
// building sets. One install on each side is the usual case, and worth its
// own path: the fleet compares every machine with others on every plug-in.
template <typename Value>
bool sameSets(Installs a, Installs b, Value PluginEntry::*member) {
  if (a.size() == 1 && b.size() == 1)
    return a[0].*member == b[0].*member;
  return within(a, b, member) && within(b, a, member);
}

bool sameVersions(Installs a, Installs b) {
  return sameSets(a, b, &PluginEntry::version);
}

bool sameTimes(Installs a, Installs b) {
  return sameSets(a, b, &PluginEntry::modifiedTime);
}

// Whether the set of version texts is the empty text alone.
bool withoutVersions(Installs installs) {
  for (std::size_t i = 0; i < installs.size(); ++i) {
    if (!installs[i].version.empty())
      return false;
  }
  return true;
}

// Writes the last `count` decimal digits of `value` into `text` at `at`.
void putDigits(std::string& text, std::size_t at, std::uint64_t value,
               std::size_t count) {
  for (std::size_t i = count; i > 0; --i, value /= 10)
    text[at + i - 1] = static_cast<char>('0' + value % 10);
}

// The end of the run of digits, or of other bytes, that starts at `from`.
std::size_t runEnd(std::string_view text, std::size_t from, bool digits) {
  while (from < text.size() && (text[from] >= '0' && text[from] <= '9') == digits)
    ++from;
  return from;
}

int compareNumbers(std::string_view a, std::string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

int compareBytes(std::string_view a, std::string_view b) {
  // string_view compares through char_traits<char>, which orders as unsigned.
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

struct KeyView {
  std::string_view vendor;
  std::string_view name;
  std::string_view technology;
  bool operator==(const KeyView& o) const {
    return vendor == o.vendor && name == o.name && technology == o.technology;
  }
};

struct KeyHash {
  std::size_t operator()(const KeyView& key) const {
    const std::hash<std::string_view> hash;
    std::size_t h = hash(key.vendor);
    h = h * 31 + hash(key.name);
    return h * 31 + hash(key.technology);
  }
};

bool pluginLess(const PluginEntry* a, const PluginEntry* b) {
  if (const int c = inventory::compareEntries(*a, *b))
    return c < 0;
  return std::tie(a->vendor, a->name, a->technology) <
         std::tie(b->vendor, b->name, b->technology);
}

// Whether two machines hold a plug-in alike.
bool sameValue(Installs a, Installs b) {
  return sameVersions(a, b) && (!withoutVersions(a) || sameTimes(a, b));
}

// Marks in `differing`, one flag per machine, those that hold the plug-in
// otherwise than the largest group of machines (the earlier group wins a tie).
void markDiffering(const std::vector<Installs>& installs, std::uint8_t* differing) {
  const std::vector<std::uint32_t> groupOf = groupMachines(installs);
  std::vector<std::size_t> sizes;
  for (const std::uint32_t group : groupOf) {
    if (group == kNoGroup)
      continue;
    if (group == sizes.size())
      sizes.push_back(0);
    ++sizes[group];
  }
  const std::size_t best = static_cast<std::size_t>(
      std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
  for (std::size_t m = 0; m < groupOf.size(); ++m)
    differing[m] = groupOf[m] != kNoGroup && groupOf[m] != best;
}

}  // namespace

std::vector<std::uint32_t> groupMachines(const std::vector<Installs>& installs) {
  std::vector<std::uint32_t> present;
  bool single = true;
  for (std::uint32_t m = 0; m < installs.size(); ++m) {
    if (!installs[m].empty())
      present.push_back(m);
    single = single && installs[m].size() <= 1;
  }
  std::vector<std::uint32_t> groupOf(installs.size(), kNoGroup);
  if (!single) {
    // Several installs on a machine are rare; comparing with every group
    // found so far is then good enough.
    std::vector<std::uint32_t> firsts;
    for (const std::uint32_t m : present) {
      std::uint32_t g = 0;
      while (g < firsts.size() && !sameValue(installs[firsts[g]], installs[m]))
        ++g;
      if (g == firsts.size())
        firsts.push_back(m);
      groupOf[m] = g;
    }
    return groupOf;
  }
  // One install each: sorted by value, machines that hold it alike stand
  // together, whatever the number of different values.
  const auto less = [&](std::uint32_t a, std::uint32_t b) {
    const PluginEntry& x = installs[a][0];
    const PluginEntry& y = installs[b][0];
    const std::uint64_t xTime = x.version.empty() ? x.modifiedTime : 0;
    const std::uint64_t yTime = y.version.empty() ? y.modifiedTime : 0;
    return std::tie(x.version, xTime, a) < std::tie(y.version, yTime, b);
  };
  std::vector<std::uint32_t> order = present;
  std::sort(order.begin(), order.end(), less);
  // Each run of equal values starts with its first machine; runs are then
  // numbered in the order of their first machines.
  std::vector<std::uint32_t> firstOf(installs.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const bool sameRun = i > 0 && sameValue(installs[order[i - 1]], installs[order[i]]);
    firstOf[order[i]] = sameRun ? firstOf[order[i - 1]] : order[i];
  }
  std::uint32_t groups = 0;
  for (const std::uint32_t m : present)
    groupOf[m] = firstOf[m] == m ? groups++ : groupOf[firstOf[m]];
  return groupOf;
}

Status statusOf(const std::vector<Installs>& installs) {
  const Installs* first = nullptr;
  for (const Installs& on : installs) {
    if (on.empty() && !on.unknown)
      return Status::kMissing;
    if (!on.empty() && first == nullptr)
      first = &on;
  }
  if (first == nullptr)
    return Status::kAlike;
  for (const Installs& on : installs) {
    if (!on.unknown && !sameVersions(*first, on))
      return Status::kVersion;
  }
  if (!withoutVersions(*first))
    return Status::kAlike;
  for (const Installs& on : installs) {
    if (!on.unknown && !sameTimes(*first, on))
      return Status::kTime;
  }
  return Status::kAlike;
}

Versus versusOf(Installs machine, Installs reference) {
  if (machine.unknown || reference.unknown)
    return Versus::kUnknown;
  if (machine.empty())
    return reference.empty() ? Versus::kNone : Versus::kMissing;
  if (reference.empty())
    return Versus::kExtra;
  if (sameValue(machine, reference))
    return Versus::kSame;
  if (machine.size() == 1 && reference.size() == 1) {
    const PluginEntry& a = machine[0];
    const PluginEntry& b = reference[0];
    if (!a.version.empty() && !b.version.empty()) {
      const int c = compareNatural(a.version, b.version);
      if (c != 0)
        return c < 0 ? Versus::kOlder : Versus::kNewer;
    } else if (a.version.empty() && b.version.empty()) {
      return a.modifiedTime < b.modifiedTime ? Versus::kOlder : Versus::kNewer;
    }
  }
  return Versus::kDiffers;
}

int compareNatural(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const bool aDigits = a[i] >= '0' && a[i] <= '9';
    const bool bDigits = b[j] >= '0' && b[j] <= '9';
    if (aDigits != bDigits)
      return aDigits ? -1 : 1;
    const std::size_t aEnd = runEnd(a, i, aDigits);
    const std::size_t bEnd = runEnd(b, j, bDigits);
    const std::string_view x = a.substr(i, aEnd - i);
    const std::string_view y = b.substr(j, bEnd - j);
    if (const int c = aDigits ? compareNumbers(x, y) : compareBytes(x, y))
      return c < 0 ? -1 : 1;
    i = aEnd;
    j = bEnd;
  }
  if (i < a.size())
    return 1;
  return j < b.size() ? -1 : 0;
}

void appendTime(std::string& out, std::uint64_t seconds, bool zone) {
  constexpr std::uint64_t kAfter9999 = 253402300800;  // 10000-01-01 00:00:00
  if (seconds >= kAfter9999) {
    out += std::to_string(seconds);
    return;
  }
  // Days to civil date, after Howard Hinnant's algorithm, for days >= 0.
  const std::uint64_t days = seconds / 86400;
  const std::uint64_t rest = seconds % 86400;
  const std::uint64_t z = days + 719468;
  const std::uint64_t era = z / 146097;
  const std::uint64_t doe = z - era * 146097;
  const std::uint64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::uint64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::uint64_t mp = (5 * doy + 2) / 153;
  const std::uint64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::uint64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::uint64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  // Written digit by digit: a large fleet's page formats a time for every
  // cell without a version, and formatted printing cost several times all the
  // rest of such a cell.
  const std::size_t at = out.size();
  out += zone ? "0000-00-00 00:00:00 UTC" : "0000-00-00 00:00:00";
  putDigits(out, at, year, 4);
  putDigits(out, at + 5, month, 2);
  putDigits(out, at + 8, day, 2);
  putDigits(out, at + 11, rest / 3600, 2);
  putDigits(out, at + 14, rest / 60 % 60, 2);
  putDigits(out, at + 17, rest % 60, 2);
}

void appendCellText(std::string& out, Installs installs,
                    void (*appendVersion)(std::string&, std::string_view), bool zone) {
  for (std::size_t i = 0; i < installs.size(); ++i) {
    if (i > 0)
      out += " + ";
    const PluginEntry& entry = installs[i];
    if (entry.version.empty())
      appendTime(out, entry.modifiedTime, zone);
    else
      appendVersion(out, entry.version);
  }
}

void appendText(std::string& out, std::string_view text) {
  out += text;
}

PluginTable::PluginTable(const std::vector<const inventory::Inventory*>& machines,
                         const std::vector<bool>& complete)
    : machines_(machines.size()),
      complete_(complete.empty() ? std::vector<bool>(machines.size(), true) : complete) {
  // Each distinct key gets an id, in the order first met.
  std::unordered_map<KeyView, std::uint32_t, KeyHash> ids;
  std::vector<std::vector<std::uint32_t>> idsOf(machines.size());
  for (std::size_t m = 0; m < machines.size(); ++m) {
    idsOf[m].reserve(machines[m]->size());
    for (const PluginEntry& entry : *machines[m]) {
      const auto [at, added] =
          ids.try_emplace(KeyView{entry.vendor, entry.name, entry.technology},
                          static_cast<std::uint32_t>(keys_.size()));
      if (added)
        keys_.push_back(&entry);
      idsOf[m].push_back(at->second);
    }
  }
  // Ranks in plug-in order.
  std::vector<std::uint32_t> byRank(keys_.size());
  for (std::uint32_t id = 0; id < byRank.size(); ++id)
    byRank[id] = id;
  std::sort(byRank.begin(), byRank.end(), [this](std::uint32_t a, std::uint32_t b) {
    return pluginLess(keys_[a], keys_[b]);
  });
  std::vector<std::uint32_t> rankOf(keys_.size());
  std::vector<const PluginEntry*> keys(keys_.size());
  for (std::uint32_t rank = 0; rank < byRank.size(); ++rank) {
    rankOf[byRank[rank]] = rank;
    keys[rank] = keys_[byRank[rank]];
  }
  keys_ = std::move(keys);
  // Each machine's entries by rank; the index keeps the file order of one
  // key. Both go into one number, which sorts faster than a pair.
  std::vector<std::uint64_t> order;
  for (std::size_t m = 0; m < machines.size(); ++m) {
    order.clear();
    for (std::uint32_t i = 0; i < idsOf[m].size(); ++i)
      order.push_back(std::uint64_t{rankOf[idsOf[m][i]]} << 32 | i);
    std::sort(order.begin(), order.end());
    Order& machine = machines_[m];
    machine.entries.reserve(order.size());
    machine.ranks.reserve(order.size());
    for (const std::uint64_t rankAndIndex : order) {
      machine.entries.push_back(&(*machines[m])[rankAndIndex & 0xFFFFFFFFu]);
      machine.ranks.push_back(static_cast<std::uint32_t>(rankAndIndex >> 32));
    }
  }
  statuses_.resize(keys_.size());
  duplicates_.resize(keys_.size());
  // Whether a machine holds a plug-in otherwise than most is settled once,
  // here, by the groups that find the usual value: the page and the
  // per-machine counts ask for every cell, and each answer would reach into
  // two machines' entries again.
  differing_.resize(keys_.size() * machines_.size());
  counts_.plugins = keys_.size();
  walk([this](PluginRow& row) {
    const Status status = statusOf(*row.installs);
    statuses_[row.index] = status;
    duplicates_[row.index] =
        std::any_of(row.installs->begin(), row.installs->end(),
                    [](const Installs& on) { return on.size() > 1; });
    if (status != Status::kAlike)
      markDiffering(*row.installs, differing_.data() + row.index * machines_.size());
    ++(status == Status::kMissing   ? counts_.missing
       : status == Status::kVersion ? counts_.version
       : status == Status::kTime    ? counts_.time
                                    : counts_.alike);
  });
}

void PluginTable::walk(const std::function<void(PluginRow&)>& visit) const {
  std::vector<std::size_t> next(machines_.size(), 0);
  std::vector<Installs> installs(machines_.size());
  PluginRow row;
  row.installs = &installs;
  for (std::uint32_t rank = 0; rank < keys_.size(); ++rank) {
    for (std::size_t m = 0; m < machines_.size(); ++m) {
      const Order& machine = machines_[m];
      std::size_t end = next[m];
      while (end < machine.ranks.size() && machine.ranks[end] == rank)
        ++end;
      installs[m] = {machine.entries.data() + next[m], machine.entries.data() + end,
                     next[m] == end && !complete_[m]};
      next[m] = end;
    }
    row.index = rank;
    row.key = keys_[rank];
    visit(row);
  }
}

void PluginTable::forEach(const std::function<void(const PluginRow&)>& visit) const {
  walk([&](PluginRow& row) {
    row.status = statuses_[row.index];
    row.duplicate = duplicates_[row.index];
    row.differing = differing_.data() + row.index * machines_.size();
    visit(row);
  });
}

std::vector<MachineStats> machineStats(const PluginTable& table, std::size_t reference) {
  std::vector<MachineStats> stats(table.machineCount());
  const bool judged = reference < stats.size();
  table.forEach([&](const PluginRow& row) {
    for (std::size_t m = 0; m < stats.size(); ++m) {
      MachineStats& s = stats[m];
      const Installs on = row.on(m);
      s.duplicates += on.size() > 1;
      s.unknown += on.unknown;
      if (!judged) {
        s.lacks += on.empty() && !on.unknown;
        s.differing += row.differsOn(m);
        continue;
      }
      if (m == reference)
        continue;
      switch (versusOf(on, row.on(reference))) {
        case Versus::kMissing:
          ++s.lacks;
          break;
        case Versus::kExtra:
          ++s.extra;
          break;
        case Versus::kOlder:
          ++s.older;
          break;
        case Versus::kNewer:
          ++s.newer;
          break;
        case Versus::kDiffers:
          ++s.differing;
          break;
        case Versus::kNone:
        case Versus::kReference:
        case Versus::kSame:
        case Versus::kUnknown:
          break;
      }
    }
  });
  return stats;
}

}  // namespace vernatto::fleet
