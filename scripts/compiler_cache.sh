# Sourced by the build scripts: when ccache is installed, the compilers run
# through it, so sources built before (in this clone or another one, such as
# a CI run's fresh clone) are not compiled again. Paths are hashed relative
# to the clone, so clones in different folders share what they built.
# Sets `compiler_cache` to the CMake options that turn it on (none without ccache).
compiler_cache=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
