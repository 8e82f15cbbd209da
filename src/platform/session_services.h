#pragma once

namespace farlous {

// Keeps the toolkit from starting anything that would outlive the program or write to the disk
// when the program runs outside a desktop session:
// - without a session bus known (no DBUS_SESSION_BUS_ADDRESS, no socket at $XDG_RUNTIME_DIR/bus),
//   the bus library would launch a bus of its own, which writes ~/.dbus and keeps running after
//   the program ends: the bus is declared disabled instead. A session's real bus, and with it
//   the screen reader, stays in use.
// - without XDG_RUNTIME_DIR, the toolkit would create a runtime folder in the temporary folder:
//   the temporary folder is pointed at /dev/null, where nothing can be created (the toolkit then
//   warns, in English, that it found no runtime folder). The program uses no temporary file.
// Only the program's own environment changes. To be called before the toolkit starts.
void KeepToolkitFromStartingSessionServices();

}  // namespace farlous
