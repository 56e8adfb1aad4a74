/* qmr.h must be usable from strict C89: every record of it is a complete
   type there. */
#include "qmr/qmr.h"

int qmr_header_c89_sizes(void) {
    return (int)(sizeof(TextField) + sizeof(OptionalNumber) + sizeof(DateRequest) + sizeof(TextAnalysis) +
                 sizeof(QmrTextServices) + sizeof(FieldDescriptor) + sizeof(GroupDescriptor));
}
