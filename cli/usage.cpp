#include "usage.h"

namespace mireo::cli {

const char* usageText() {
    return R"(Usage:
  mireo-cli convert [options] INPUT...     picture(s) -> background-image database(s)
                           INPUT - reads the picture from standard input
    -o, --output FILE      output file (one input only); default: the input's name
                           with ".pdb", in --dir or beside the input; - writes the
                           database to standard output (the default for input -)
    -d, --dir DIR          output folder for batches
    -s, --size SIZE        160x160 | 240x320 | 320x320 | 320x450 | 320x480 | 480x320 |
                           480x480 | WxH (50 to 600 a side, at most 2:1) | keep
                           default: a picture of a standard size keeps it
    -f, --fit MODE         crop (default: the largest centred area of the target's
                           proportions) | pad (whole picture, border around it) | stretch
        --border RRGGBB    border colour for pad (default FFFFFF)
    -b, --depth 16|8|4     default 16
    -m, --method diffused|nearest   default diffused
    -c, --compress         compress: build with both block sizes, keep the smaller file
        --block1 N         block size, 5120 to 51200 (default 51200)
        --block2 N         block size, 5121 to 51200 (default 30720)
    -n, --name NAME        backimage name (default: the output file's name without
                           its extension)
        --preview PATH     also write the picture as the database holds it, as PNG:
                           PATH is the file (one input) or an existing folder
                           (NAME.png for each NAME.pdb)
    -j, --jobs N           inputs converted at once, 1 to 64 (default: the number
                           of processors)
  mireo-cli open INPUT.pdb OUTPUT.bmp|OUTPUT.png   database -> 24-bit BMP, or PNG
  mireo-cli info INPUT.pdb [--json]        name, dates, depth, size, version, blocks
  mireo-cli -h, --help | --version

Exit status: 0 when every input succeeded, 1 when any failed, 2 for a usage error.
When SOURCE_DATE_EPOCH is set, databases take that time and two runs give
identical files.
)";
}

}  // namespace mireo::cli
