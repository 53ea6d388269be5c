#include "mml/track_text.h"

#include "score/layout.h"
#include "score/score_ops.h"

namespace tsuzuri {

namespace {

std::string noteName(const SpelledPitch& pitch) {
    char name[kPitchNameRoom];
    return std::string(name, formatPitchName(pitch, name));
}

std::string layoutFaultText(const LayoutError& error, const MusicEvent& e) {
    switch (error.fault) {
        case LayoutFault::RowOutOfReach:
            return noteName(e.pitch) + " はこのオクターブ設定では譜面に書けません" +
                   (error.octave >= 0
                        ? "（オクターブを" + std::to_string(error.octave) + "にすると書けます）"
                        : std::string("（どのオクターブ設定でも書けません）"));
        case LayoutFault::MeasureFull:
            return "音符と記号が" + std::to_string(kMaxNotesPerMeasure) + "個を超えます";
        case LayoutFault::PastLastMeasure:
            return "曲が第" + std::to_string(kMeasureCount) + "小節を超えます";
    }
    return {};
}

}  // namespace

TrackTextRead readTrackText(std::string_view text, const StaffRows& rows, int octaveSetting,
                            int barTicks) {
    const MmlReading reading = readMml(text);
    if (reading.error) {
        TrackTextRead out;
        out.error = TrackTextError{reading.error->place, -1, mmlFaultText(*reading.error)};
        return out;
    }
    return layOutReading(reading, rows, octaveSetting, barTicks);
}

TrackTextRead layOutReading(const MmlReading& reading, const StaffRows& rows, int octaveSetting,
                            int barTicks) {
    TrackTextRead out;
    auto track = std::make_unique<TrackScore>();
    if (const auto error = layoutTrack(reading.music, rows, octaveSetting, barTicks, *track)) {
        const auto event = static_cast<std::size_t>(error->event);
        out.error = TrackTextError{reading.places[event],
                                   error->fault == LayoutFault::RowOutOfReach ? -1 : error->measure,
                                   layoutFaultText(*error, reading.music.events[event])};
        return out;
    }
    out.track = std::move(track);
    out.tempo = reading.tempo;
    return out;
}

std::string trackTextErrorText(const TrackTextError& error) {
    if (error.measure >= 0) {
        return "第" + std::to_string(error.measure + 1) + "小節：" + error.what + "（" +
               placeText(error.place) + "）";
    }
    return placeText(error.place) + "：" + error.what;
}

}  // namespace tsuzuri
