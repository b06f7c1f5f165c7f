#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "common/json_writer.h"
#include "fleet/outputs.h"

namespace vernatto::fleet {
namespace {

using common::JsonWriter;

void writeMachines(const Fleet& fleet, JsonWriter& json) {
  json.key("machines");
  json.beginArray();
  for (const Machine& machine : fleet.machines) {
    json.beginObject();
    json.key("name");
    json.string(machine.name);
    json.key("path");
    json.string(machine.path);
    json.key("entries");
    json.number(machine.inventory.size());
    json.key("complete");
    json.boolean(machine.complete);
    json.endObject();
  }
  json.endArray();
}

void writeInstalls(const PluginRow& row, JsonWriter& json) {
  json.key("installs");
  json.beginArray();
  for (const Installs& on : *row.installs) {
    // Not "none": the machine's file was not read whole.
    if (on.unknown) {
      json.null();
      continue;
    }
    json.beginArray();
    for (std::size_t i = 0; i < on.size(); ++i)
      json.install(on[i].version, on[i].modifiedTime);
    json.endArray();
  }
  json.endArray();
}

void writeVersus(const Fleet& fleet, const PluginRow& row, JsonWriter& json) {
  json.key("versus");
  json.beginArray();
  const Installs reference = row.on(fleet.reference);
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    const Versus versus =
        m == fleet.reference ? Versus::kReference : versusOf(row.on(m), reference);
    if (versus == Versus::kNone)
      json.null();
    else
      json.string(versusWord(versus));
  }
  json.endArray();
}

void writePlugin(const Fleet& fleet, const PluginRow& row, JsonWriter& json) {
  json.beginObject();
  json.key("vendor");
  json.string(row.key->vendor);
  json.key("name");
  json.string(row.key->name);
  json.key("technology");
  json.string(row.key->technology);
  json.key("status");
  json.string(statusWord(row.status));
  json.key("duplicate");
  json.boolean(row.duplicate);
  writeInstalls(row, json);
  if (fleet.hasReference())
    writeVersus(fleet, row, json);
  json.endObject();
}

void writeSummary(const StatusCounts& counts, JsonWriter& json) {
  json.key("summary");
  json.beginObject();
  const std::pair<const char*, std::size_t> members[] = {
      {"plugins", counts.plugins}, {"missing", counts.missing},
      {"version", counts.version}, {"time", counts.time},
      {"alike", counts.alike},
  };
  for (const auto& [name, count] : members) {
    json.key(name);
    json.number(count);
  }
  json.endObject();
}

}  // namespace

void writeJson(const Fleet& fleet, std::ostream& out) {
  JsonWriter json(out);
  json.beginObject();
  writeMachines(fleet, json);
  json.key("reference");
  if (fleet.hasReference())
    json.string(fleet.machines[fleet.reference].name);
  else
    json.null();
  json.key("plugins");
  json.beginArray();
  fleet.table.forEach([&](const PluginRow& row) { writePlugin(fleet, row, json); });
  json.endArray();
  writeSummary(fleet.table.counts(), json);
  json.endObject();
  json.endLine();
}

}  // namespace vernatto::fleet
