#include "support/midi_reader.h"

#include <sstream>

#include "support/command.h"

namespace tsuzuri::test {

namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<MidiRecord> MidiListing::ofType(const std::string& type) const {
    std::vector<MidiRecord> out;
    for (const auto& record : records) {
        if (record.type == type)
            out.push_back(record);
    }
    return out;
}

MidiListing readWithMidicsv(const std::filesystem::path& file) {
    MidiListing listing;
    int status = 0;
    const std::string output = runCommand("midicsv '" + file.string() + "' 2>&1", status);
    listing.ok = status == 0;
    if (!listing.ok)
        listing.diagnostics = output;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> parts;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ','))
            parts.push_back(trim(field));
        if (parts.size() < 3)
            continue;
        MidiRecord record;
        try {
            record.track = std::stoi(parts[0]);
            record.time = std::stol(parts[1]);
        } catch (const std::exception&) {
            listing.ok = false;
            listing.diagnostics += line + "\n";
            continue;
        }
        record.type = parts[2];
        record.fields.assign(parts.begin() + 3, parts.end());
        listing.records.push_back(record);
    }
    return listing;
}

}  // namespace tsuzuri::test
