#include <ostream>
#include <string>

#include "common/csv.h"
#include "project/outputs.h"

namespace vernatto::project {

using common::appendField;

void writeCsv(const Answer& answer, std::ostream& out) {
  std::string record =
      "\xEF\xBB\xBFpath,format,complete,technology,vendor,name,id,file,version,instances,"
      "host";
  for (const fleet::Machine& room : answer.rooms) {
    record += ',';
    appendField(record, room.complete ? room.name : room.name + " (incomplete)");
  }
  record += "\r\n";
  for (std::size_t p = 0; p < answer.projects.size(); ++p) {
    const Project& project = answer.projects[p];
    std::string start;
    appendField(start, project.path);
    start += ',';
    appendField(start, project.format);
    start += project.complete ? ",yes" : ",";
    if (project.references.empty())
      record += start + "\r\n";
    for (std::size_t r = 0; r < project.references.size(); ++r) {
      const daw::Reference& reference = project.references[r];
      record += start;
      for (const std::string* text :
           {&reference.technology, &reference.vendor, &reference.name, &reference.id,
            &reference.file, &reference.version}) {
        record += ',';
        appendField(record, *text);
      }
      record +=
          ',' + std::to_string(reference.instances) + (reference.host ? ",yes" : ",");
      for (std::size_t room = 0; room < answer.rooms.size(); ++room)
        record += ',' + matchWord(answer.check->match(p, r, room));
      record += "\r\n";
    }
    if (record.size() > (1u << 16)) {
      out << record;
      record.clear();
    }
  }
  out << record;
  out.flush();
}

}  // namespace vernatto::project
