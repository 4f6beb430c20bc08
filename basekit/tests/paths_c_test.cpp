// The path table under code page 1252, where every byte stands for itself.
#include "paths_test.cpp"
