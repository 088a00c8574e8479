"""What the lobby and game services share: validating a received frame."""

from .catalogue import CLIENT_SCHEMAS, loggable, loggable_bytes, name_of, unexpected_reason
from .content import decode_content
from .wire import WireError


class Service:
    connection_word = ""
    accepted_ids = frozenset()

    def __init__(self, server):
        self.server = server
        self.cfg = server.cfg
        self.log = server.log

    def admit(self, conn, msg_id):
        """False drops a message of this id, unread and unlogged (the service counts it)."""
        return True

    def on_frame(self, conn, frame):
        """A handler that writes to the store returns what to await: the connection's later
        messages wait for it, the other connections do not."""
        message = self.read(conn, frame)
        return self.dispatch(conn, *message) if message is not None else None

    def read(self, conn, frame):
        """Returns (id, fields) of a valid message, or None after logging why it is dropped."""
        msg_id = frame.msg_id
        name = name_of(msg_id)
        if msg_id not in CLIENT_SCHEMAS:
            self.log.violation(conn, unexpected_reason(msg_id), frame.data[:16])
            return None
        if msg_id not in self.accepted_ids:
            self.log.violation(conn, "%s on the %s connection" % (name, self.connection_word))
            return None
        if not self.admit(conn, msg_id):
            return None
        try:
            fields, remarks = decode_content(msg_id, frame.content)
        except WireError as err:
            self.log.violation(conn, "%s dropped: %s" % (name, err), loggable_bytes(msg_id, frame.data[:32]))
            return None
        shown, hidden = loggable(msg_id, fields)
        extra = {"withheld": hidden} if hidden else {}
        self.log.write("in", conn=conn.name, id=msg_id, name=name, fields=shown, **extra)
        if self.cfg.strict:
            if not frame.canonical:
                remarks.insert(0, "non-minimal message length")
            for remark in remarks:
                self.log.violation(conn, "%s: %s" % (name, remark))
        return msg_id, fields
