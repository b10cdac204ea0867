#include "Orvo_Tunedeck/configuration/MIDIEndpointTables.h"

namespace {

EndpointRow rowOf(const MIDIObjectList& list, int64_t index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return {};
    const MIDIObject& entry = *list[static_cast<size_t>(index)];
    return {entry.name, entry.active.load(), entry.object};
}

}  // namespace

int64_t MIDISourcesTable::numberOfRows() {
    connection_.refreshInputs();
    return static_cast<int64_t>(connection_.inputs().size());
}

EndpointRow MIDISourcesTable::row(int64_t index) const { return rowOf(connection_.inputs(), index); }

void MIDISourcesTable::onSwitchChanged(midi::MIDIEndpointRef tag, bool on) {
    if (on)
        connection_.connectInput(tag);
    else
        connection_.disconnectInput(tag);
}

int64_t MIDIDestinationsTable::numberOfRows() {
    connection_.refreshOutputs();
    return static_cast<int64_t>(connection_.outputs().size());
}

EndpointRow MIDIDestinationsTable::row(int64_t index) const { return rowOf(connection_.outputs(), index); }

void MIDIDestinationsTable::onSwitchChanged(midi::MIDIEndpointRef tag, bool on) {
    connection_.setOutputActive(tag, on);
}
