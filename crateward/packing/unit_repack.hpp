// "Repack unit into one HPI archive": gathers the files of the unit whose
// definition (.FBI) is selected in the file list into a temporary folder of
// its own and writes them into a new ZLIB archive the user names. Only the
// pieces this run extracted are added. With the option "Gather everything
// the unit check finds" on, every further member of the open archive that
// the unit check finds goes in too, under its own path.
#pragma once

namespace crateward {
class frmMain;
}

namespace crateward::packing {

void RepackUnit_Click(frmMain& window);

} // namespace crateward::packing
