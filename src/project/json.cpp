#include <ostream>

#include "common/json_writer.h"
#include "project/outputs.h"

namespace vernatto::project {
namespace {

using common::JsonWriter;

void textOrNull(JsonWriter& json, std::string_view name, std::string_view text) {
  json.key(name);
  if (text.empty())
    json.null();
  else
    json.string(text);
}

void writeRooms(const Answer& answer, JsonWriter& json) {
  json.key("rooms");
  json.beginArray();
  for (const fleet::Machine& room : answer.rooms) {
    json.beginObject();
    json.key("name");
    json.string(room.name);
    textOrNull(json, "path", room.path);
    json.key("entries");
    json.number(room.inventory.size());
    json.key("complete");
    json.boolean(room.complete);
    json.endObject();
  }
  json.endArray();
}

void writeInstall(const fleet::Machine& room, const Match& match, JsonWriter& json) {
  json.key("install");
  if (match.install == Match::kNoInstall) {
    json.null();
    return;
  }
  const inventory::PluginEntry& entry = room.inventory[match.install];
  json.beginObject();
  json.key("vendor");
  json.string(entry.vendor);
  json.key("name");
  json.string(entry.name);
  json.key("technology");
  json.string(entry.technology);
  textOrNull(json, "version", entry.version);
  textOrNull(json, "path", room.inventory.details(match.install).path);
  json.endObject();
}

void writeReference(const Answer& answer, std::size_t p, std::size_t r,
                    JsonWriter& json) {
  const daw::Reference& reference = answer.projects[p].references[r];
  json.beginObject();
  json.key("technology");
  json.string(reference.technology);
  json.key("vendor");
  json.string(reference.vendor);
  json.key("name");
  json.string(reference.name);
  textOrNull(json, "id", reference.id);
  textOrNull(json, "file", reference.file);
  textOrNull(json, "version", reference.version);
  json.key("instances");
  json.number(reference.instances);
  json.key("host");
  json.boolean(reference.host);
  if (!answer.isListing()) {
    json.key("rooms");
    json.beginArray();
    for (std::size_t room = 0; room < answer.rooms.size(); ++room) {
      const Match& match = answer.check->match(p, r, room);
      json.beginObject();
      json.key("status");
      json.string(statusWord(match.status));
      textOrNull(json, "by", byWord(match.by));
      writeInstall(answer.rooms[room], match, json);
      json.endObject();
    }
    json.endArray();
  }
  json.endObject();
}

void writeProject(const Answer& answer, std::size_t p, JsonWriter& json) {
  const Project& project = answer.projects[p];
  json.beginObject();
  json.key("path");
  json.string(project.path);
  textOrNull(json, "format", project.format);
  json.key("complete");
  json.boolean(project.complete);
  if (!answer.isListing()) {
    json.key("opens");
    json.beginArray();
    for (std::size_t room = 0; room < answer.rooms.size(); ++room)
      json.boolean(answer.check->opens(p, room));
    json.endArray();
  }
  json.key("plugins");
  json.beginArray();
  for (std::size_t r = 0; r < project.references.size(); ++r)
    writeReference(answer, p, r, json);
  json.endArray();
  json.endObject();
}

void writeSummary(const Check::Summary& summary, JsonWriter& json) {
  json.key("summary");
  json.beginObject();
  for (const auto& [name, value] :
       {std::pair<std::string_view, std::size_t>{"projects", summary.projects},
        {"rooms", summary.rooms},
        {"openEverywhere", summary.openEverywhere},
        {"unreadable", summary.unreadable},
        {"unchecked", summary.unchecked}}) {
    json.key(name);
    json.number(value);
  }
  json.endObject();
}

}  // namespace

void writeJson(const Answer& answer, std::ostream& out) {
  JsonWriter json(out);
  json.beginObject();
  writeRooms(answer, json);
  json.key("projects");
  json.beginArray();
  for (std::size_t p = 0; p < answer.projects.size(); ++p)
    writeProject(answer, p, json);
  json.endArray();
  if (!answer.isListing())
    writeSummary(answer.check->summary(), json);
  json.endObject();
  json.endLine();
  json.flush();
}

}  // namespace vernatto::project
