#include "summary/facts.h"

namespace torvane::summary {

bool ListField(Field field) {
    return field == Field::status || field == Field::nameServer || field == Field::cidr;
}

}  // namespace torvane::summary
