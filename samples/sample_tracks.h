#pragma once
// The sample documents shipped in samples/, built in code and written with the
// program's own track and element writers:
//   circuit.vxtrack    a closed circuit with a station, a chain lift, a drop,
//                      banked turns, a block brake and supports
//   shuttle.vxtrack    a shuttle: back spike, station, launch and front spike
//   lakeside.vxtrack   a small circuit over hilly terrain with a lake
//   camelback.vxelem   an element: one camelback hill
// Each Build... function fills the document (track or element globals) as the
// file holds it; WriteSamples writes all four into a folder.

#include <string>
#include <vector>

void BuildCircuitTrack();
void BuildShuttleTrack();
void BuildLakesideTrack();
void BuildCamelbackElement();

// The sample files' names.
std::vector<std::string> SampleFileNames();

// Writes every sample into the folder (ending in "/"); false when a file could not be written.
bool WriteSamples(const std::string& folder);
