// The program that owns the precompiled header the Qt test programs share;
// it is built for that header only and never run.
