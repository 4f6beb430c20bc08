// The text codec shared by Basekit and Lexidata (compiled into both; neither links the other).
#include "textcodec.h"
