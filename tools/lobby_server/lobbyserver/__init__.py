"""Lobby and game server for local play and for the client's end-to-end tests."""
