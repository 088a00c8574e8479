// The process entry: no command-line arguments are used.
#include "KorvelCommon/KorvelEntry.h"

int main()
{
    return KorvelProcessEntry();
}
