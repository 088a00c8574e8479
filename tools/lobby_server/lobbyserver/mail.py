"""The welcome mail of a new account. No mail leaves this machine: it is written to
mail/<name>.txt beside the account store.

Nothing in the folder is followed: the folder is opened without following a link, the
mail is made under a new name (O_EXCL | O_NOFOLLOW) and then renamed into place, which
replaces a link planted at that name instead of writing through it.
"""

import os
import re
import secrets

MAIL_FOLDER = "mail"
_MAIL = re.compile(r"([A-Za-z0-9_-]+)\.txt")
_TEMPORARY = re.compile(r"\.[A-Za-z0-9_-]+\.txt\.[0-9a-f]+")


def _folder(store_path):
    return os.path.join(os.path.dirname(os.path.abspath(store_path)), MAIL_FOLDER)


def _open_folder(folder):
    return os.open(folder, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW)


class Mail:
    """A written mail, which a registration that fails afterwards takes back."""

    def __init__(self, folder, file_name):
        self.folder = folder
        self.file_name = file_name

    def withdraw(self):
        try:
            folder_fd = _open_folder(self.folder)
        except OSError:
            return
        try:
            os.unlink(self.file_name, dir_fd=folder_fd)
        except OSError:
            pass
        finally:
            os.close(folder_fd)


def welcome_mail(store_path, name, email):
    """Writes the mail and returns it, or None when there is nothing to write (no store
    folder or no address); raises OSError when it cannot be written whole."""
    if not store_path or not email:
        return None
    text = ("To: %s\nSubject: Your account %s\n\nYour account %s is ready: log in with this name "
            "or this address and your password.\n" % (email, name, name))
    folder = _folder(store_path)
    try:
        os.mkdir(folder, 0o700)
    except FileExistsError:
        pass
    file_name = name + ".txt"
    folder_fd = _open_folder(folder)
    try:
        temporary = ".%s.%s" % (file_name, secrets.token_hex(6))
        fd = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, 0o600, dir_fd=folder_fd)
        try:
            with os.fdopen(fd, "wb") as f:
                f.write(text.encode("utf-8", "surrogatepass"))
            os.replace(temporary, file_name, src_dir_fd=folder_fd, dst_dir_fd=folder_fd)
        except BaseException:
            try:
                os.unlink(temporary, dir_fd=folder_fd)
            except OSError:
                pass
            raise
    finally:
        os.close(folder_fd)
    return Mail(folder, file_name)


def clear_orphans(store_path, stored):
    """Removes what a killed registration left in the folder: temporary files, and mails of
    accounts that were never stored (the mail is written first). Returns the names removed.
    A folder that is a link is not followed: nothing is removed then."""
    if not store_path:
        return []
    try:
        folder_fd = _open_folder(_folder(store_path))
    except OSError:
        return []
    removed = []
    try:
        for file_name in sorted(os.listdir(folder_fd)):
            mail = _MAIL.fullmatch(file_name)
            if _TEMPORARY.fullmatch(file_name) or (mail and mail.group(1) not in stored):
                try:
                    os.unlink(file_name, dir_fd=folder_fd)
                    removed.append(file_name)
                except OSError:
                    pass
    finally:
        os.close(folder_fd)
    return removed
