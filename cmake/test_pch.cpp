// The programs that own the precompiled headers the test programs share;
// they are built for those headers only and never run.
