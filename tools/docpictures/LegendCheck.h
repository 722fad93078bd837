#pragma once
// The manual explains each annotated picture with a numbered legend right under it:
//
//     ![...](manual/top-bar.png)
//
//     1. **Key** what it does ...
//     2. **Mode** ...
//
// These checks hold the legends to the pictures: every picture is shown, and its legend lists
// the callouts' numbers in order with the names the picture gives them, no more and no fewer.

#include "ManualPictures.h"

#include <string>
#include <vector>

namespace orx::docs
{

// The problems found in the manual's text, one line each; empty when it agrees.
std::vector<std::string> CheckLegendText(const std::vector<Picture>& pictures,
                                         const std::string& manual);
// The same for the manual file at path (a file that cannot be read is a problem).
std::vector<std::string> CheckLegends(const std::vector<Picture>& pictures,
                                      const std::string& path);

} // namespace orx::docs
