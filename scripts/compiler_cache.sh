# Sourced by the build scripts: when ccache is installed, the compilers run
# through it, so sources built before (in this clone or another one, such as
# a CI run's fresh clone) are not compiled again. Paths are hashed relative
# to the clone, so clones in different folders share what they built.
# Sets `compiler_cache` to the CMake options that turn it on (none without ccache).
compiler_cache=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    # The window libraries and tests compile with a shared precompiled
    # header: what ccache needs to cache such compiles. Files of a fresh
    # clone are all new, which ccache would otherwise take for files
    # changing under the compile.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
