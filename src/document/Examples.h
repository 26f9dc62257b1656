#pragma once
// The library of well-known tunes that comes with the program: one set file each, installed under
// share/tinkla/examples beside the programs, and found in the source tree when the programs run
// from a build folder.
#include <QString>
#include <vector>

namespace tinkla
{

struct Example {
    QString name;  // the file's base name: "ode_to_joy"
    QString path;  // absolute path of the .fml
    QString title; // the title of its first melody
};

// The first folder that holds example sets; empty when there is none.
QString ExamplesDir();
// Every example set of that folder, by name.
std::vector<Example> ListExamples();

} // namespace tinkla
