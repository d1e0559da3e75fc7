#pragma once

// The screens the reader itself knows by number: the script declares them all, but the start
// screen opens first and the reading screen holds the panes and the trees.

constexpr int kStartScreen = 0;
constexpr int kReadingScreen = 1;
