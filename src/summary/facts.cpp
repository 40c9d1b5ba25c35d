#include "summary/facts.h"

namespace torvane::summary {

bool ListField(Field field) {
    return field == Field::status || field == Field::nameServer || field == Field::cidr;
}

bool DateField(Field field) {
    return field == Field::created || field == Field::updated || field == Field::expires ||
           field == Field::allocated;
}

}  // namespace torvane::summary
