#pragma once

#include "platform/PrintJob.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cups/ipp.h>

namespace bw::cups {

// An attribute's values as the user reads them, "a, b"; "" for none.
QString attributeText(ipp_attribute_t* attribute);

// One job or event of a reply: its attributes by name.
using AttributeGroup = QHash<QByteArray, ipp_attribute_t*>;

// The reply's groups of the tag (IPP_TAG_JOB, IPP_TAG_EVENT_NOTIFICATION),
// in order; a nameless attribute or another group separates them.
QList<AttributeGroup> attributeGroups(ipp_t* reply, ipp_tag_t tag);

// The job a group tells of, from a job's attributes or an event's. Why a job
// stopped or was aborted is often only in the printer's message: it follows
// the reasons ("reasons; message").
PrintJob jobOf(const AttributeGroup& group);

// The group's integer attribute, or fallback without it.
int integerOf(const AttributeGroup& group, const char* name, int fallback = 0);

} // namespace bw::cups
