#pragma once

// The order in which a file manager shows a folder's names: letter case
// ignored, runs of digits compared as numbers ("IMG_9" before "IMG_10",
// "Day 2" before "Day 10"). Plain C++, shared by every platform's folder
// listing. Names are UTF-8; bytes that are not UTF-8 compare by their value.

#include <string>
#include <string_view>
#include <vector>

// True when a comes before b. Names that differ only in letter case or in
// leading zeros are still told apart, so the order is total and the same on
// every system.
bool comesBeforeByName(std::string_view a, std::string_view b);

void sortByName(std::vector<std::string> &names);
