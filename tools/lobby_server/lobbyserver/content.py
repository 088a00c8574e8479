"""Validation of a message's content: a TLV walk, then the per-id schema.

decode_content returns the named field values and a list of remarks about encodings the
client's writers never produce (reported only in strict mode); it raises WireError for
content that no reading of the protocol accepts (the message is then dropped).
"""

from .catalogue import BYTES, CLIENT_SCHEMAS, INT, INT_LIST, LONG, TEXT, TEXT_LIST
from .wire import WireError, decode_int, decode_long, decode_text, read_length


def _take(buf, pos, end, what):
    """Reads the length field at pos and the value after it: (value, canonical, next pos)."""
    head = read_length(buf, pos, end)
    if head is None:
        raise WireError("%s is cut off" % what)
    size, header, canonical = head
    start = pos + header
    if start + size > end:
        raise WireError("%s declares %d bytes, %d remain" % (what, size, end - start))
    return buf[start:start + size], canonical, start + size


def walk(content):
    """Splits a content into (tag byte, value bytes, length canonical) triples."""
    items = []
    pos, end = 0, len(content)
    while pos < end:
        tag = content[pos]
        if tag & 0xE0 not in (0x80, 0xA0):
            raise WireError("field tag 0x%02X at %d has a wrong class" % (tag, pos))
        if tag & 0x1F == 0x1F:
            raise WireError("multi-byte field tag at %d" % pos)
        value, canonical, pos = _take(content, pos + 1, end, "field at %d" % pos)
        items.append((tag, value, canonical))
    return items


def _list_elements(value, element_tag):
    """Splits a list value into its elements' encodings (after the universal tag)."""
    out = []
    pos, end = 0, len(value)
    while pos < end:
        if value[pos] != element_tag:
            raise WireError("list element tag 0x%02X, expected 0x%02X" % (value[pos], element_tag))
        element, canonical, pos = _take(value, pos + 1, end, "list element at %d" % pos)
        out.append((element, canonical))
    return out


def _decode_value(kind, value, remarks, name):
    if kind == INT:
        number, canonical = decode_int(value)
    elif kind == LONG:
        number, canonical = decode_long(value)
    elif kind == TEXT:
        number, canonical = decode_text(value)
    elif kind == BYTES:
        return bytes(value)
    elif kind in (INT_LIST, TEXT_LIST):
        element_tag, element_kind = (0x02, INT) if kind == INT_LIST else (0x0C, TEXT)
        result = []
        for element, length_ok in _list_elements(value, element_tag):
            if not length_ok:
                remarks.append("%s: non-minimal element length" % name)
            result.append(_decode_value(element_kind, element, remarks, name))
        return result
    else:
        raise AssertionError(kind)
    if not canonical:
        remarks.append("%s: non-canonical %s" % (name, kind))
    return number


def decode_content(msg_id, content):
    schema = CLIENT_SCHEMAS[msg_id]
    remarks = []
    fields = {}
    last_index = -1
    for tag, value, length_ok in walk(content):
        index = tag & 0x1F
        if index >= len(schema):
            raise WireError("field index %d beyond the %d fields" % (index, len(schema)))
        name, kind, tag_class, _optional = schema[index]
        if name in fields:
            remarks.append("%s: repeated" % name)
        if index < last_index:
            remarks.append("%s: out of declaration order" % name)
        last_index = max(last_index, index)
        if tag & 0xE0 != tag_class:
            remarks.append("%s: tag 0x%02X, the client writes 0x%02X" % (name, tag, tag_class | index))
        if not length_ok:
            remarks.append("%s: non-minimal length" % name)
        fields[name] = _decode_value(kind, value, remarks, name)
    missing = [name for name, _k, _t, optional in schema if not optional and name not in fields]
    if missing:
        raise WireError("missing field(s): %s" % ", ".join(missing))
    return fields, remarks
