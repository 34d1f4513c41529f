// The fixture generator is a tool of its own (tools/fixture-gen); its writers
// are compiled into the tests here so that a test makes the files it needs.
#include "../../tools/fixture-gen/index_dat_gen.cpp"
#include "../../tools/fixture-gen/opera_gen.cpp"
