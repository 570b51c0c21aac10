// What the command lines of the Linux and Windows builds do not share: the words of
// their usage texts and the options only one of them offers.
#pragma once

struct ProgramBuild {
  const char* quarvel;        // the program as its usage names it: "quarvel", "Quarvel.exe"
  const char* ports;          // the PORT entry of its usage, after the entry's name
  const char* settings;       // where settings.ini is found, and how a wait is stopped
  const char* quarvelConfig;  // "quarvel-config", "QuarvelConfig.exe"
  const char* configText;     // what the settings editor does, for its usage
  const char* configStatus;   // its exit statuses
  const char* leftOut;        // options of the tables this build lacks, space-separated
};

// This build's words; each platform layer defines them.
const ProgramBuild& ThisProgramBuild();
